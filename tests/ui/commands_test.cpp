#include <new>

#include "dialog_fixture.h"

namespace {

constexpr const char* kAllFiles = "All files (*.*)|*.*||";
constexpr unsigned kOpenFlags = 0x1004;

std::string configText(const std::string& input, const std::string& shifts, int type,
                       const std::string& rule, int useFile, const std::string& file) {
    return "[Input file]\n" + input + "\n\n[Shift (n, m)]\n" + shifts +
           "\n\n[Progression type (0=linear, 1=log)]\n" + std::to_string(type) +
           "\n\n[Progression (from, to, step)]\n" + rule +
           "\n\n[Use progression file, progression file]\n" + std::to_string(useFile) + "\n" +
           file + "\n\n";
}

}  // namespace

TEST_F(MainDialogTest, SaveAtStartAsksForANameAndShowsNoDialog) {
    window.click(kIdcSaveConfig);
    EXPECT_EQ(messages(), (std::vector<std::string>{"Please enter config file name"}));
    EXPECT_TRUE(platform.fileDialogs().empty());
}

TEST_F(MainDialogTest, LoadShowsTheFileAndSaveOffersItsPath) {
    std::string loaded = writeFile(
        "a.txt", configText("/d/grid.txt", "0.5000\t0.2500", 1, "4\t1024\t2", 1, "/d/areas.txt"));
    window.tick(kIdcOptimise, false);
    window.type(kIdcOutputPrecision, "3");
    platform.queueFileDialogAnswer(loaded);
    window.click(kIdcLoadConfig);

    ASSERT_EQ(platform.fileDialogs().size(), 1u);
    const FileDialogRequest& open = platform.fileDialogs()[0];
    EXPECT_TRUE(open.open);
    EXPECT_EQ(open.filter, std::string("Configuration files (*.txt)|*.txt|") + kAllFiles);
    EXPECT_EQ(open.flags, kOpenFlags);
    EXPECT_EQ(open.initialName, "");
    EXPECT_FALSE(open.defaultExtension);

    EXPECT_EQ(window.text(kIdcConfigFileName), loaded);
    EXPECT_EQ(window.text(kIdcInputFile), "/d/grid.txt");
    EXPECT_EQ(window.text(kIdcNShift), "0.5");
    EXPECT_EQ(window.text(kIdcFrom), "4");
    EXPECT_EQ(window.text(kIdcTo), "1024");
    EXPECT_EQ(window.listSelection(kIdcProgressionType), 1);
    EXPECT_TRUE(window.checked(kIdcUseProgressionFile));
    EXPECT_EQ(window.text(kIdcProgressionFile), "/d/areas.txt");
    // The options are not part of a configuration.
    EXPECT_FALSE(window.checked(kIdcOptimise));
    EXPECT_EQ(dialog.options().outputPrecision, 3);

    std::string saved = (folder() / "b.txt").string();
    platform.queueFileDialogAnswer(saved);
    window.click(kIdcSaveConfig);
    ASSERT_EQ(platform.fileDialogs().size(), 2u);
    const FileDialogRequest& save = platform.fileDialogs()[1];
    EXPECT_FALSE(save.open);
    EXPECT_EQ(save.filter, std::string("Configuration files (*.txt)|*.txt|") + kAllFiles);
    EXPECT_EQ(save.flags, 0x806u);
    EXPECT_EQ(save.initialName, loaded);
    EXPECT_FALSE(save.defaultExtension);

    EXPECT_EQ(window.text(kIdcConfigFileName), saved);
    EXPECT_EQ(readFile(saved), readFile(loaded));
    EXPECT_TRUE(platform.messageBoxes().empty());
}

// Load and Save, cancelled or failed: the name in the box, the settings and the controls stay as
// they were; a failure says so; the open dialog remembers the path it was given.
TEST_F(MainDialogTest, CancelledOrFailedLoadAndSaveChangeNothing) {
    const std::string loaded =
        writeFile("a.txt", configText("/d/g.txt", "0\t0", 0, "1\t2\t1", 0, ""));
    const std::string missing = (folder() / "missing" / "b.txt").string();
    for (int k = 0; k < 4; ++k) {
        const bool save = k < 2, failed = k % 2 == 1;  // Save (after a Load) or Load
        const std::string what =
            std::string(failed ? "failed " : "cancelled ") + (save ? "save" : "load");
        HeadlessPlatform platform;
        MainDialog dialog{platform};
        HeadlessWindow& window = platform.open(dialog);
        if (save) {
            platform.queueFileDialogAnswer(loaded);
            window.click(kIdcLoadConfig);
        }
        const std::string name = save ? loaded : "";
        window.type(kIdcNShift, " 0.750");
        window.type(kIdcFrom, "9");
        if (failed) platform.queueFileDialogAnswer(missing);  // none queued: cancelled
        window.click(save ? kIdcSaveConfig : kIdcLoadConfig);
        std::vector<std::string> shown;
        for (const auto& box : platform.messageBoxes()) shown.push_back(box.text);
        const char* error = save ? "Error saving config file" : "Error opening config file";
        EXPECT_EQ(shown, failed ? std::vector<std::string>{error} : std::vector<std::string>{})
            << what;
        EXPECT_EQ(window.text(kIdcConfigFileName), name) << what;
        EXPECT_EQ(dialog.configFileName(), name) << what;
        EXPECT_EQ(window.text(kIdcNShift), " 0.750") << what;
        EXPECT_EQ(dialog.settings().from, 9) << what;
        EXPECT_EQ(dialog.settings().nShift, 0.75) << what;
        if (!save && failed) {
            window.click(kIdcLoadConfig);
            EXPECT_EQ(platform.fileDialogs().back().initialName, missing);
        }
    }
}

TEST_F(MainDialogTest, EachOpenDialogRemembersItsOwnPath) {
    platform.queueFileDialogAnswer("/data/a.txt");
    window.click(kIdcBrowseInput);
    EXPECT_EQ(window.text(kIdcInputFile), "/data/a.txt");
    EXPECT_EQ(dialog.settings().inputFile, "/data/a.txt");

    window.type(kIdcInputFile, "/data/b.txt");
    window.click(kIdcBrowseInput);  // cancelled
    EXPECT_EQ(platform.fileDialogs().back().initialName, "/data/a.txt");
    EXPECT_EQ(window.text(kIdcInputFile), "/data/b.txt");

    window.click(kIdcBrowseProgression);
    window.click(kIdcLoadConfig);
    const auto& dialogs = platform.fileDialogs();
    ASSERT_EQ(dialogs.size(), 4u);
    EXPECT_EQ(dialogs[0].filter,
              "Data files (*.txt)|*.txt|Surface files (*.txt;*.csv;*.npy;*.gsf;*.gwy;*.x3p;"
              "*.tif;*.tiff;*.asc;*.png;*.nc;*.h5;*.hdf5;*.img;*.dem;*.bil;"
              "*.flt;*.vrt;*.grd;*.jp2)|*.txt;*.csv;*.npy;*.gsf;*.gwy;*.x3p;*.tif;*.tiff;"
              "*.asc;*.png;*.nc;*.h5;*.hdf5;*.img;*.dem;*.bil;*.flt;*.vrt;"
              "*.grd;*.jp2|" +
                  std::string(kAllFiles));
    EXPECT_EQ(dialogs[2].filter, std::string("Progression files (*.txt)|*.txt|") + kAllFiles);
    EXPECT_EQ(dialogs[2].initialName, "");
    EXPECT_EQ(dialogs[3].initialName, "");
    for (const auto& request : dialogs) EXPECT_EQ(request.flags, kOpenFlags);
}

TEST_F(MainDialogTest, ChoosingAProgressionFileLeavesTheBoxAlone) {
    platform.queueFileDialogAnswer("/data/areas.txt");
    window.click(kIdcBrowseProgression);
    EXPECT_EQ(window.text(kIdcProgressionFile), "/data/areas.txt");
    EXPECT_FALSE(window.checked(kIdcUseProgressionFile));
    EXPECT_EQ(dialog.settings().useProgressionFile, 0);
}

TEST_F(MainDialogTest, ViewOpensWhatTheFieldHoldsAtTheClick) {
    window.type(kIdcInputFile, "/my data/grid one.txt");
    window.click(kIdcViewInput);
    window.click(kIdcViewProgression);
    const auto& started = platform.startedPrograms();
    ASSERT_EQ(started.size(), 2u);
#ifdef _WIN32
    EXPECT_TRUE(started[0].commandLine.ends_with("\\Notepad.exe /my data/grid one.txt"));
    EXPECT_TRUE(started[1].commandLine.ends_with("\\Notepad.exe "));
#else
    EXPECT_EQ(started[0].arguments,
              (std::vector<std::string>{"xdg-open", "/my data/grid one.txt"}));
    EXPECT_EQ(started[1].arguments, (std::vector<std::string>{"xdg-open", ""}));
#endif
    EXPECT_TRUE(platform.messageBoxes().empty());
}

// A viewer that cannot be started is named in a message box, with the system's reason.
TEST_F(MainDialogTest, ViewTellsWhichProgramCouldNotStartAndWhy) {
    window.type(kIdcProgressionFile, "/data/areas.txt");
    platform.queueStartFailure("No such file or directory");
    window.click(kIdcViewProgression);
    window.click(kIdcViewInput);  // starts
    ASSERT_EQ(messages().size(), 1u);
#ifdef _WIN32
    EXPECT_TRUE(messages()[0].starts_with("Could not start "));
    EXPECT_TRUE(
        messages()[0].ends_with("\\Notepad.exe /data/areas.txt: No such file or directory"));
#else
    EXPECT_EQ(messages()[0], "Could not start xdg-open: No such file or directory");
#endif
    EXPECT_EQ(platform.startedPrograms().size(), 1u);
    EXPECT_FALSE(window.ended());
}

namespace {

const DialogTemplate& oneButtonTemplate() {
    static const DialogTemplate t = [] {
        DialogTemplate d;
        d.caption = "test";
        d.controls = {{100, ControlKind::kPushButton, "Go", {0, 0, 10, 10}, kTabStop}};
        return d;
    }();
    return t;
}

class ExhaustingDialog : public Dialog {
  public:
    explicit ExhaustingDialog(Platform& platform) : Dialog(oneButtonTemplate(), platform) {
        bindCommand(100, [] { throw std::bad_alloc(); });
    }
};

}  // namespace

TEST(DialogCommands, OutOfMemoryIsShownAndTheDialogStaysOpen) {
    HeadlessPlatform platform;
    ExhaustingDialog dialog(platform);
    HeadlessWindow& window = platform.open(dialog);
    window.click(100);
    ASSERT_EQ(platform.messageBoxes().size(), 1u);
    EXPECT_EQ(platform.messageBoxes()[0].text, "Out of memory.");
    EXPECT_FALSE(window.ended());
}
