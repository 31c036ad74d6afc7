#include "resource_ids.h"
#include "resources.h"

namespace {

// The styles each kind of control has in the templates.
constexpr unsigned kLabel = kGroup;  // left-aligned, starts a group, no tab stop
constexpr unsigned kButton = kTabStop;
constexpr unsigned kField = kBorder | kAutoHScroll | kTabStop;
constexpr unsigned kCheck = kTabStop;
constexpr unsigned kList = kVScroll | kTabStop;

using K = ControlKind;

DialogFont templateFont() {
    return {"MS Sans Serif", 8, 400, false, 1};
}

DialogTemplate makeMainDialogTemplate() {
    DialogTemplate t;
    t.id = kIddMainDialog;
    t.language = kLanguageItalian;
    t.caption = "Vantrel";
    t.font = templateFont();
    t.rect = {0, 0, 353, 172};
    t.style = kDialogPopup | kDialogVisible | kDialogCaption | kDialogSystemMenu |
              kDialogMinimizeBox | kDialogModalFrame | kDialogSetFont | kDialogAppWindow;
    // One control a line, in template order.
    // clang-format off
    t.controls = {
        {kIdcConfigFileName, K::kStaticText, "...", {46, 11, 250, 8}, kLabel | kPathEllipsis},
        {kIdcLoadConfig, K::kPushButton, "...", {300, 7, 17, 14}, kButton},
        {kIdStatic, K::kStaticText, "Input file", {7, 28, 28, 8}, kLabel},
        {kIdcInputFile, K::kEdit, "", {7, 38, 289, 14}, kField},
        {kIdStatic, K::kStaticText, "n shift", {7, 70, 20, 8}, kLabel},
        {kIdcNShift, K::kEdit, "", {7, 81, 40, 14}, kField},
        {kIdStatic, K::kStaticText, "m shift", {53, 70, 21, 8}, kLabel},
        {kIdcMShift, K::kEdit, "", {53, 81, 40, 14}, kField},
        {kIdcDataSize, K::kStaticText, "Data rows: - Data colums:- ", {7, 58, 339, 8}, kLabel},
        {kIdStatic, K::kGroupBox, "Area progression", {155, 68, 191, 78}, kStyleNone},
        {kIdcUseProgressionFile, K::kCheckBox, "Use external progression", {164, 114, 93, 10},
         kCheck},
        {kIdcProgressionFile, K::kEdit, "", {164, 127, 129, 14}, kField},
        {kIdcViewProgression, K::kPushButton, "View", {317, 127, 24, 14}, kButton},
        {kIdcBrowseProgression, K::kPushButton, "...", {297, 127, 17, 14}, kButton},
        {kIdStatic, K::kStaticText, "From", {163, 79, 16, 8}, kLabel},
        {kIdcFrom, K::kEdit, "", {163, 90, 40, 14}, kField},
        {kIdStatic, K::kStaticText, "To", {208, 79, 10, 8}, kLabel},
        {kIdcTo, K::kEdit, "", {206, 90, 40, 14}, kField},
        {kIdStatic, K::kStaticText, "Step", {251, 79, 16, 8}, kLabel},
        {kIdcStep, K::kEdit, "", {250, 90, 40, 14}, kField},
        {kIdcProgressionType, K::kDropDownList, "", {293, 90, 48, 72}, kList},
        {kIdStatic, K::kStaticText, "Type", {293, 79, 17, 8}, kLabel},
        {kIdcCalculate, K::kPushButton, "Calculate", {296, 151, 50, 14}, kButton},
        {kIdcGenerateSurfaces, K::kCheckBox, "Generate moving average surfaces",
         {7, 152, 127, 10}, kCheck},
        {kIdStatic, K::kStaticText, "Config file:", {8, 11, 34, 8}, kLabel},
        {kIdcSaveConfig, K::kPushButton, "Save", {322, 7, 24, 14}, kButton},
        {kIdcOptimise, K::kCheckBox, "Optimize", {7, 137, 43, 10}, kCheck},
        {kIdStatic, K::kStaticText, "Output precision", {7, 119, 52, 8}, kLabel},
        {kIdcOutputPrecision, K::kEdit, "", {62, 117, 24, 14}, kField},
        {kIdcViewInput, K::kPushButton, "View", {322, 38, 24, 14}, kButton},
        {kIdcBrowseInput, K::kPushButton, "...", {300, 38, 17, 14}, kButton},
        {kIdcNormalise, K::kCheckBox, "Normalize", {65, 137, 47, 10}, kCheck},
    };
    // clang-format on
    // Not sorted: an item's index is the progression type it stands for.
    t.initData = {{kIdcProgressionType, {"Linear", "Logarithmic"}}};
    return t;
}

DialogTemplate makeAboutDialogTemplate() {
    DialogTemplate t;
    t.id = kIddAboutBox;
    t.language = kLanguageItalian;
    t.caption = "Informazioni su Vantrel";
    t.font = templateFont();
    t.rect = {0, 0, 235, 55};
    t.style =
        kDialogPopup | kDialogCaption | kDialogSystemMenu | kDialogModalFrame | kDialogSetFont;
    ControlTemplate icon;
    icon.kind = K::kIcon;
    icon.rect = {11, 17, 20, 20};
    icon.iconId = kIdrMainFrame;
    icon.icon = &appIcon();
    t.controls = {
        icon,
        {kIdStatic, K::kStaticText, "Vantrel Versione 1.0", {40, 10, 119, 8}, kLabel | kNoPrefix},
        {kIdOk, K::kPushButton, "OK", {178, 7, 50, 14}, kDefaultButton | kTabStop},
    };
    return t;
}

}  // namespace

const DialogTemplate& mainDialogTemplate() {
    static const DialogTemplate t = makeMainDialogTemplate();
    return t;
}

const DialogTemplate& aboutDialogTemplate() {
    static const DialogTemplate t = makeAboutDialogTemplate();
    return t;
}
