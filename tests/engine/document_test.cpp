#include "engine/document.h"

#include <gtest/gtest.h>

using namespace tervane;

TEST(Document, NewDocumentResetsStackAndSettingsButKeepsTheRest)
{
    Document doc;
    // Values given at construction are the New values.
    EXPECT_EQ(doc.substrateMaterial, "GaN");
    EXPECT_EQ(doc.substrateA, 3.189);
    EXPECT_EQ(doc.substratePsp, -0.029);
    EXPECT_EQ(doc.poissonIterations, 200);
    EXPECT_EQ(doc.schroedingerIterations, 20);
    EXPECT_EQ(doc.damping, 1.0);
    EXPECT_TRUE(doc.fullyIonized);
    EXPECT_TRUE(doc.polarizationOn);
    EXPECT_FALSE(doc.schroedingerOn);

    doc.materials.resize(2);
    doc.layers.resize(3);
    doc.grid.reset(10);
    doc.grid.leftContact = ContactKind::Fixed;
    doc.grid.leftBarrier = 0.8;
    doc.temperature = 77.0;
    doc.damping = 0.7;
    doc.substrateMaterial = "AlN";
    doc.iterations = 12;
    doc.schroedingerOn = true;
    doc.newDocument();
    EXPECT_TRUE(doc.layers.empty());
    EXPECT_EQ(doc.materials.size(), 2u);
    EXPECT_EQ(doc.grid.count, 0);
    EXPECT_TRUE(doc.grid.points.empty());
    EXPECT_EQ(doc.grid.leftContact, ContactKind::Fixed);
    EXPECT_EQ(doc.grid.leftBarrier, 0.8);
    EXPECT_EQ(doc.temperature, 77.0);
    EXPECT_EQ(doc.damping, 1.0);
    EXPECT_EQ(doc.substrateMaterial, "GaN");
    EXPECT_EQ(doc.iterations, 0);
    EXPECT_TRUE(doc.schroedingerOn);
}
