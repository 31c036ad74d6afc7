#include "about_dialog.h"
#include "dialog_fixture.h"
#include "main_app.h"
#include "resources.h"

TEST_F(MainDialogTest, OpensWithItsDefaults) {
    EXPECT_EQ(window.text(kIdcConfigFileName), "");
    EXPECT_EQ(window.text(kIdcDataSize), "Data rows: - Data colums:- ");
    EXPECT_EQ(window.listItems(kIdcProgressionType),
              (std::vector<std::string>{"Linear", "Logarithmic"}));
    EXPECT_EQ(window.listSelection(kIdcProgressionType), -1);
    EXPECT_TRUE(window.checked(kIdcOptimise));
    EXPECT_FALSE(window.checked(kIdcGenerateSurfaces));
    EXPECT_FALSE(window.checked(kIdcNormalise));
    EXPECT_FALSE(window.checked(kIdcUseProgressionFile));
    EXPECT_EQ(window.text(kIdcOutputPrecision), "5");
    for (int id : {kIdcNShift, kIdcMShift, kIdcFrom, kIdcTo, kIdcStep})
        EXPECT_EQ(window.text(id), "0") << id;
    EXPECT_EQ(window.text(kIdcInputFile), "");
    EXPECT_EQ(window.text(kIdcProgressionFile), "");
    EXPECT_EQ(window.focus(), kIdcLoadConfig);
    EXPECT_EQ(window.icon(DialogWindow::IconSize::kBig), &appIcon());
    EXPECT_EQ(window.icon(DialogWindow::IconSize::kSmall), &appIcon());
    EXPECT_TRUE(platform.messageBoxes().empty());
}

TEST_F(MainDialogTest, SystemMenuEndsWithTheAboutAnalyseAndMapEntries) {
    const auto& menu = window.systemMenu();
    ASSERT_EQ(menu.size(), 4u);
    EXPECT_TRUE(menu[0].separator);
    const std::pair<int, std::string> entries[] = {{0x10, "Infor&mazioni su Vantrel..."},
                                                   {0x20, "Analyse results..."},
                                                   {0x30, "Map roughness..."}};
    for (std::size_t k = 0; k < 3; ++k) {
        EXPECT_FALSE(menu[k + 1].separator);
        EXPECT_EQ(menu[k + 1].commandId, entries[k].first);
        EXPECT_EQ(menu[k + 1].text, entries[k].second);
    }
}

TEST_F(MainDialogTest, SystemCommandsTenToOneFOpenTheAboutBox) {
    for (int id = 0x10; id <= 0x1F; ++id) window.chooseSystemCommand(id);
    ASSERT_EQ(platform.modalRuns().size(), 16u);
    const auto& about = platform.modalRuns().front();
    EXPECT_EQ(about.templateId, kIddAboutBox);
    EXPECT_EQ(about.caption, "Informazioni su Vantrel");
    EXPECT_EQ(about.texts, (std::vector<std::string>{"", "Vantrel Versione 1.0", "OK"}));
    EXPECT_EQ(about.result, kIdCancel);  // closed with Escape

    // Others are the platform's: no About box.
    window.chooseSystemCommand(0x40);
    window.chooseSystemCommand(0xF060);
    EXPECT_EQ(platform.modalRuns().size(), 16u);
    EXPECT_FALSE(window.ended());
}

TEST_F(MainDialogTest, AboutBoxClosesWithItsOkButton) {
    platform.queueModalScript([](HeadlessWindow& about) {
        EXPECT_EQ(about.focus(), kIdOk);
        about.pressEnter();
    });
    window.chooseSystemCommand(kIdmAboutBox);
    ASSERT_EQ(platform.modalRuns().size(), 1u);
    EXPECT_EQ(platform.modalRuns()[0].result, kIdOk);
}

TEST_F(MainDialogTest, MinimisedDialogCentresItsIcon) {
    EXPECT_FALSE(window.paint());  // not minimised: the platform paints

    window.minimise(true);
    EXPECT_TRUE(window.paint());
    const auto& paint = window.lastPaint();
    EXPECT_TRUE(paint.backgroundErased);
    EXPECT_TRUE(paint.iconDrawn);
    // (37 - 32 + 1) / 2 and (24 - 32 + 1) / 2, truncated toward zero.
    EXPECT_EQ(paint.x, 3);
    EXPECT_EQ(paint.y, -3);
    EXPECT_EQ(dialog.OnQueryDragIcon(), &appIcon());
}

TEST(MainAppTest, StartUpRunsTheDialogModallyAndEndsWhenItCloses) {
    HeadlessPlatform platform;
    bool ran = false;
    platform.queueModalScript([&](HeadlessWindow& window) {
        ran = true;
        EXPECT_EQ(window.dialogTemplate().caption, "Vantrel");
        EXPECT_EQ(window.focus(), kIdcLoadConfig);
        window.pressEscape();
    });
    MainApp app;
    EXPECT_EQ(app.run(platform), 0);
    EXPECT_TRUE(ran);
    ASSERT_EQ(platform.modalRuns().size(), 1u);
    EXPECT_EQ(platform.modalRuns()[0].templateId, kIddMainDialog);
    EXPECT_EQ(platform.modalRuns()[0].result, kIdCancel);
}

// The templates are transcribed control by control; a few spot checks guard the transcription.
TEST(DialogTemplates, MainTemplateHasItsControlsInTabOrder) {
    const DialogTemplate& t = mainDialogTemplate();
    EXPECT_EQ(t.caption, "Vantrel");
    EXPECT_EQ(t.rect.width, 353);
    EXPECT_EQ(t.rect.height, 172);
    ASSERT_EQ(t.controls.size(), 32u);
    EXPECT_EQ(t.controls.front().id, kIdcConfigFileName);
    EXPECT_EQ(t.controls.back().id, kIdcNormalise);
    const ControlTemplate* list = t.control(kIdcProgressionType);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->rect.height, 72);
    for (const ControlTemplate& c : t.controls) {
        if (c.kind == ControlKind::kPushButton) {
            EXPECT_FALSE(c.style & kDefaultButton);
        }
        bool tabStop = c.kind != ControlKind::kStaticText && c.kind != ControlKind::kGroupBox;
        EXPECT_EQ((c.style & kTabStop) != 0, tabStop) << c.id << " " << c.caption;
    }
    for (const IconImage& image : appIcon().images) {
        ASSERT_EQ(static_cast<int>(image.rows.size()), image.height);
        for (const std::string& row : image.rows)
            EXPECT_EQ(static_cast<int>(row.size()), image.width);
    }
}
