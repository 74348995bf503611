#pragma once

#include <concepts>
#include <cstddef>
#include <type_traits>

#include "model/material.h"
#include "model/polarization.h"
#include "model/quadratic.h"

namespace tervane {

// Stored forms of the material model, shared by the materials file and the document file. Each
// template lists the members once, in stored order, for an ArchiveWriter (const object) or an
// ArchiveReader (mutable object). The stored order is not the declaration order.

// `T` is `Model` or `const Model`.
template <class T, class Model>
concept StoredAs = std::same_as<std::remove_const_t<T>, Model>;

inline constexpr std::size_t storedQuadraticSize = 24;
inline constexpr std::size_t storedPolarizationSize = 6 * storedQuadraticSize;
// A material with an empty name: ten laws, the polarization, a one-byte name prefix, type and the four
// backgrounds.
inline constexpr std::size_t minStoredMaterialSize =
    10 * storedQuadraticSize + storedPolarizationSize + 1 + 4 + 4 * 8;

// 24 bytes: a, b, c.
template <class Archive, StoredAs<Quadratic> Q> void serialize(Archive& archive, Q& law)
{
    archive.field(law.a);
    archive.field(law.b);
    archive.field(law.c);
}

// 144 bytes. The substrate values are run-time copies and are not stored.
template <class Archive, StoredAs<Polarization> P> void serialize(Archive& archive, P& polarization)
{
    serialize(archive, polarization.a);
    serialize(archive, polarization.c13);
    serialize(archive, polarization.c33);
    serialize(archive, polarization.e31);
    serialize(archive, polarization.e33);
    serialize(archive, polarization.Psp);
}

// 421 bytes plus the name; the name sits at offset 384.
template <class Archive, StoredAs<Material> M> void serialize(Archive& archive, M& material)
{
    serialize(archive, material.EaDeep);
    serialize(archive, material.EdDeep);
    serialize(archive, material.dEc);
    serialize(archive, material.Eg);
    serialize(archive, material.eps);
    serialize(archive, material.me);
    serialize(archive, material.mhh);
    serialize(archive, material.mlh);
    serialize(archive, material.polarization);
    serialize(archive, material.EaShallow);
    serialize(archive, material.EdShallow);
    archive.field(material.name);
    archive.field(material.type);
    archive.field(material.NaBackground);
    archive.field(material.NdBackground);
    archive.field(material.NdaBackground);
    archive.field(material.NddBackground);
}

} // namespace tervane
