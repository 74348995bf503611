#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "io/io_result.h"
#include "model/material.h"

namespace tervane {

// The materials list as TOML: a library people can read, edit, diff and cite sources in, mapping one
// to one onto the Material records (the binary materials file holds the same values).
//
//   [[material]]                      # one table per material; the file's order is the list order
//   name = "AlGaN"                    # non-empty, unique in the file
//   type = "Ternary"                  # "Binary" or "Ternary"
//   source = "..."                    # optional free text, not kept in the record
//   notes = "..."                     # optional free text, not kept in the record
//   Eg = [3.4376, 2.02051, 0.7]       # every law is [a, b, c]: a + b*x + c*x^2
//   ...                               # dEc eps EaShallow EdShallow EaDeep EdDeep me mhh mlh
//   NdBackground = 0.0                # and NaBackground NddBackground NdaBackground, cm^-3
//   [material.polarization]           # the six polarization laws of the material above
//   a = [3.189, -0.077, 0.0]          # and Psp c13 c33 e31 e33
//
// Units are those of the record: eV, relative permittivity, m0, Angstrom, C/m^2, any unit common to
// c13 and c33, cm^-3. Every key but source and notes is required, any other key is refused (a typo
// such as "Egg" must not pass silently), a law has exactly three numbers, integers count as numbers,
// and inf and nan are refused. An empty list is written as `material = []`.

// True when the first text after blank lines and comments opens the material array: "[[material]]"
// or "material =". Tells this form from the binary materials file, which starts with a count.
bool looksLikeMaterialsToml(std::string_view bytes);

// Parses a whole TOML materials library. On success `materials` is replaced; on any error it is left
// exactly as it was and the message names the material (index from 1, and its name when it has one),
// the key, and the line. Syntax errors give the line and column of the parser's complaint.
IoResult decodeMaterialsToml(std::string_view text, std::vector<Material>& materials);

// Writes `materials` as TOML. Every double is written in its shortest form that reads back to the
// same bits. Refuses, naming the material, what the reader would refuse or could not give back: a
// non-finite number, a type other than Binary or Ternary, an empty, duplicate or non-UTF-8 name.
// `out` is only assigned on success.
IoResult encodeMaterialsToml(const std::vector<Material>& materials, std::string& out);

// Written through a temporary file, so a failed save keeps the old file.
IoResult saveMaterialsTomlFile(const std::string& path, const std::vector<Material>& materials);

// All or nothing, as decodeMaterialsToml.
IoResult loadMaterialsTomlFile(const std::string& path, std::vector<Material>& materials);

} // namespace tervane
