#pragma once
// What the floor programs and the benchmark agree on: the floor resident's window, and the
// viewers as Brindle stores them and as the floor programs show them (generated: a title, a
// command and parameters per number).

constexpr const char* floorWindowTitle = "Brindle Bench Floor";

// snprintf formats of viewer `number` (from 1).
constexpr const char* viewerTitleFormat = "ビューア %04d";
constexpr const char* viewerCommandFormat = "C:\\Viewers\\Viewer%04d\\view.exe";
constexpr const char* viewerParameters = "/mail";

// Set by the benchmark's viewer (bench_viewer.exe) when it runs.
constexpr const char* viewerRanEventName = "BrindleBenchViewerRan";

// The most menu items or list rows a floor resident is asked for.
constexpr long floorMaxCount = 10000;
