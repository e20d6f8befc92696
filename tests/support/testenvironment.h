#pragma once
// Pins what a test may touch: settings, standard paths and temporary files live in a fresh
// folder, and the locale is English with digit grouping. Call from a suite's initTestCase().

#include <QString>

void initTestEnvironment();
// The per-run folder for settings and scratch files.
QString testScratchDir();
// Forgets every stored setting (window placements included).
void clearTestSettings();
