#pragma once

// Ids of the program's resources and of the main dialog's controls.

inline constexpr int kIddAboutBox = 100;
inline constexpr int kIdsAboutBox = 101;  // the system-menu entry that opens the About box
inline constexpr int kIddMainDialog = 102;
inline constexpr int kIdrMainFrame = 128;  // the icon

inline constexpr int kLanguageItalian = 1040;

// The system-menu command of the About box. Commands 0x10 to 0x1F all open it.
inline constexpr int kIdmAboutBox = 0x10;
// The system-menu command that analyses the results file of the input file.
inline constexpr int kIdmAnalyseResults = 0x20;
// The system-menu command that maps the roughness of the input file.
inline constexpr int kIdmMapRoughness = 0x30;

inline constexpr int kIdcLoadConfig = 1000;
inline constexpr int kIdcInputFile = 1001;
inline constexpr int kIdcNShift = 1002;
inline constexpr int kIdcMShift = 1003;
inline constexpr int kIdcUseProgressionFile = 1004;
inline constexpr int kIdcProgressionFile = 1005;
inline constexpr int kIdcViewProgression = 1006;
inline constexpr int kIdcBrowseProgression = 1007;
inline constexpr int kIdcFrom = 1008;
inline constexpr int kIdcTo = 1009;
inline constexpr int kIdcStep = 1010;
inline constexpr int kIdcProgressionType = 1011;
inline constexpr int kIdcCalculate = 1012;
inline constexpr int kIdcGenerateSurfaces = 1013;
inline constexpr int kIdcBrowseInput = 1014;
inline constexpr int kIdcDataSize = 1015;
inline constexpr int kIdcConfigFileName = 1016;
inline constexpr int kIdcSaveConfig = 1017;
inline constexpr int kIdcOptimise = 1018;
inline constexpr int kIdcOutputPrecision = 1019;
inline constexpr int kIdcViewInput = 1020;
inline constexpr int kIdcNormalise = 1028;
