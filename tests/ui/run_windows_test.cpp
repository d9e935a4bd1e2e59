// The backup and test windows through their real widgets, over a scripted archive component:
// the backup type and CD reminder, the disk prompts, the preview question and results, the
// progress window with its Cancel, the password prompt, the notices, and the boxes themselves.
// The engine tests check each box's text word for word; here boxes are answered by title.
#include "subprocess.h"
#include "ui/progress_windows.h"
#include "ui_fixture.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace corvane::test {
namespace {

using C = CommandId;

class RunWindows : public FakeArchiverFixture {
protected:
    RunWindows() {
        setOption([](ConfigRecord& r) { r.logFile = 1; });
        makeSet("Daily");
        addDataFolder();
    }

    // Changes a stored option (closing a set reloads the options from the file).
    void setOption(const std::function<void(ConfigRecord&)>& change) {
        change(program->config().record());
        ASSERT_TRUE(program->config().save());
    }

    void startBackupOfStyle(const char* option) {
        host.expectWindow("frmBackupType", [option](QDialog& dialog) {
            click(dialog, option);
            click(dialog, "cmdStart");
        });
    }
};

TEST_F(RunWindows, BoxesAnswerAsTheirButtonsAndEscapeSay) {
    struct Case {
        Buttons buttons;
        const char* click;  // nullptr: Escape
        Answer answer;
        const char* defaultButton;
    };
    const Case cases[] = {
        {Buttons::Ok, "cmdOK", Answer::Ok, "cmdOK"},
        {Buttons::Ok, nullptr, Answer::Ok, "cmdOK"},
        {Buttons::OkCancel, "cmdOK", Answer::Ok, "cmdOK"},
        {Buttons::OkCancel, "cmdCancel", Answer::Cancel, "cmdOK"},
        {Buttons::OkCancel, nullptr, Answer::Cancel, "cmdOK"},
        {Buttons::YesNo, "cmdYes", Answer::Yes, "cmdYes"},
        {Buttons::YesNo, "cmdNo", Answer::No, "cmdYes"},
        {Buttons::YesNo, nullptr, Answer::No, "cmdYes"},
        {Buttons::OkHelp, "cmdOK", Answer::Ok, "cmdOK"},
    };
    for (const Case& c : cases) {
        host.expectWindow("msgBox", [&c](QDialog& dialog) {
            auto& box = static_cast<QMessageBox&>(dialog);
            EXPECT_EQ(box.defaultButton()->objectName().toStdString(), c.defaultButton);
            if (c.click != nullptr) {
                click(box, c.click);
            } else {
                QTest::keyClick(&box, Qt::Key_Escape);
            }
        });
        EXPECT_EQ(host.message(Icon::Question, c.buttons, "Title", "Line 1\r\n\r\nLine 2"),
                  c.answer)
            << (c.click != nullptr ? c.click : "Escape");
    }
    // Help opens the page of the box's topic and leaves the box standing.
    host.expectWindow("msgBox", [](QDialog& dialog) { click(dialog, "cmdHelp"); });
    host.expectWindow("msgBox", [](QDialog& dialog) {
        auto& box = static_cast<QMessageBox&>(dialog);
        EXPECT_EQ(box.text().toStdString(), "Error performing Backup.\n\nError:  521");
        EXPECT_EQ(box.icon(), QMessageBox::Critical);
        saveScreenshot(box, "box-error-with-help");
        click(box, "cmdOK");
    });
    host.message(Icon::Critical, Buttons::OkHelp, "Error",
                 "Error performing Backup.\r\n\r\nError:  521", 26);
    EXPECT_EQ(opener.opened, std::vector<std::string>{builtProgram("bin/help/topic-26.html")});
}

TEST_F(RunWindows, BackupTypeWindowOffersTheSizeListOnlyForCds) {
    host.expectWindow("frmBackupType", [&](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle().toStdString(), "Select Type of Backup");
        EXPECT_EQ(textOf(dialog, "lblIntro"),
                  "This option allows you to set the type of backup you require.");
        EXPECT_EQ(control<QWidget>(dialog, "optSingle")->accessibleName().toStdString(),
                  "Single Archive Backup");
        EXPECT_EQ(textOf(dialog, "lblCD"),
                  "This style of backup is required if you are writing to CDR or CDRW disks and "
                  "the backup will require more than one disk to complete.");
        auto* sizes = control<QComboBox>(dialog, "cboDiskSize");
        // The list's own values: BackupTypeDialog.CapacityListAndItsSelection.
        ASSERT_EQ(sizes->count(), 600);
        EXPECT_EQ(sizes->currentText().toStdString(), "600 MB");
        EXPECT_FALSE(sizes->isEnabled());
        click(dialog, "optCD");
        EXPECT_TRUE(sizes->isEnabled());
        saveScreenshot(dialog, "backup-type");
        click(dialog, "optMultiple");
        EXPECT_FALSE(sizes->isEnabled());
        click(dialog, "cmdCancel");
    });
    trigger(C::Backup);
    EXPECT_TRUE(fake.compresses.empty());
}

TEST_F(RunWindows, CdBackupShowsTheReminderAndAsksForEachDisk) {
    drives.type = DriveType::Removable;
    setOption([](ConfigRecord& r) { r.promptPreview = 0; });
    host.expectWindow("frmBackupType", [](QDialog& dialog) {
        click(dialog, "optCD");
        control<QComboBox>(dialog, "cboDiskSize")->setCurrentText(QStringLiteral("650 MB"));
        click(dialog, "cmdStart");
    });
    host.expectWindow("frmCDReminder", [&](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle().toStdString(), "CDR/CDRW Information");
        EXPECT_EQ(textOf(dialog, "lblHeading"), "CDR/CDRW Special Notes:");
        EXPECT_EQ(textOf(dialog, "lblText2"),
                  "Always use CDR Disks that have NOT been used before to avoid 'Write Errors' to "
                  "CD media.");
        saveScreenshot(dialog, "cd-reminder");
        click(dialog, "chkShowAgain");
        click(dialog, "cmdOK");
    });
    host.expectBox("Clear Disk Contents", "", "cmdNo");
    host.expectBox("Insert Disk", "", "cmdOK");
    host.expectBox("Insert Disk", "", "cmdOK");
    host.expectBox("Backup Complete", "", "cmdNo");
    bool progressHiddenForTheDisk = false;
    fake.onCompress = [&](FakeComponent::Events& events, FakeComponent& self) {
        const bool inserted = events.onInsertDisk(2);
        progressHiddenForTheDisk = !host.progressDisplay().isVisible();
        EXPECT_TRUE(inserted);
        self.writeArchive();
        return 0;
    };
    trigger(C::Backup);
    EXPECT_TRUE(fileExists(home / "CDRemind.dat"));
    EXPECT_EQ(program->chosenCdCapacity(), "650 MB");
    ASSERT_EQ(fake.compresses.size(), 1u);
    EXPECT_EQ(fake.compresses[0].diskSize, 650000000u);
    EXPECT_FALSE(progressHiddenForTheDisk);  // shown again once the disk is in
}

TEST_F(RunWindows, PreviewQuestionPreviewingWindowAndResults) {
    drives.type = DriveType::Removable;
    drives.total = 1'000'000;
    startBackupOfStyle("optMultiple");
    host.expectBox("Clear Disk Contents", "", "cmdNo");
    host.expectWindow("frmPreviewQuestion", [&](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle().toStdString(), "Preview Backup Archive Size");
        EXPECT_EQ(textOf(dialog, "lblQuestion"),
                  "Would you like to preview the backup archive size?");
        saveScreenshot(dialog, "preview-question");
        click(dialog, "cmdHelp");
        click(dialog, "cmdYes");
    });
    host.expectBox("Preview Results", "", "cmdOK");
    host.expectBox("Insert Disk", "", "cmdOK");
    host.expectBox("Backup Complete", "", "cmdNo");
    fake.onPreview = [&](FakeComponent::Events& events, FakeComponent&) {
        events.onPreviewingFile(home / "data/a.txt");
        ui::PreviewingWindow* previewing = host.previewingWindow();
        EXPECT_NE(previewing, nullptr);
        if (previewing != nullptr) {
            EXPECT_TRUE(previewing->isVisible());
            EXPECT_EQ(previewing->windowTitle().toStdString(), "Previewing...");
            EXPECT_EQ(textOf(*previewing, "lblText"),
                      "Previewing included folders & files...Please wait...");
            saveScreenshot(*previewing, "previewing");
        }
        events.onOperationComplete(2'500'000);
        EXPECT_FALSE(previewing != nullptr && previewing->isVisible());
        return 0;
    };
    trigger(C::Backup);
    EXPECT_EQ(opener.opened, std::vector<std::string>{builtProgram("bin/help/topic-29.html")});
    ASSERT_EQ(fake.compresses.size(), 1u);
    EXPECT_TRUE(fake.compresses[0].spanDisks);
}

TEST_F(RunWindows, CancelStopsTheBackupAtOnceAndTheStoppingLineStays) {
    std::string lineAfterCancel;
    int sent = 0;
    int sentAtClick = -1;
    QObject::connect(&host, &ui::QtHost::progressOpened, &host, [&] {
        // The user's click, queued as a click is: it arrives at the run's next event-loop turn.
        QTimer::singleShot(0, &host, [&] {
            ui::ProgressWindow* progress = host.progressWindow();
            ASSERT_NE(progress, nullptr);
            saveScreenshot(*progress, "progress");
            sentAtClick = sent;
            click(*progress, "cmdCancel");
        });
    });
    fake.onCompress = [&](FakeComponent::Events& events, FakeComponent& self) {
        for (; !self.abortRequested() && sent < 1'000'000; ++sent) {
            events.onFileProgress(home / ("data/file" + std::to_string(sent)), 40, false);
            events.onOverallProgress({100, static_cast<std::uint64_t>(sent % 100), 1'000'000,
                                      static_cast<std::uint64_t>(sent % 100) * 10'000, 52});
        }
        // Progress that still arrives leaves the stopping line as it is.
        host.progressView().setOperationLine("Adding late.txt...");
        lineAfterCancel = textOf(*host.progressWindow(), "lblOperation");
        EXPECT_FALSE(control<QPushButton>(*host.progressWindow(), "cmdCancel")->isEnabled());
        EXPECT_FALSE(host.progressWindow()->findChild<ui::ActivityAnimation*>()->playing());
        return self.abortedOr(0);
    };
    startBackupOfStyle("optSingle");
    host.expectBox("Backup", "", "cmdOK");
    trigger(C::Backup);
    EXPECT_EQ(lineAfterCancel, "Aborting current operation...Please wait...");
    // The event that carried the click was the last one: nothing more went into the archive.
    EXPECT_EQ(sent, sentAtClick + 1);
    EXPECT_FALSE(host.progressWindow()->isVisible());
    EXPECT_NE(readFile(home / "Backup.log").find("### Backup Operation cancelled by User ###"),
              std::string::npos);
}

TEST_F(RunWindows, ProgressWindowShowsTheCountersAndCannotBeClosedFromItsTitleBar) {
    fake.onCompress = [&](FakeComponent::Events& events, FakeComponent& self) {
        events.onFileProgress(home / "data/a.txt", 100, true);
        events.onOverallProgress({3, 3, 35, 35, 45});
        ui::ProgressWindow& progress = *host.progressWindow();
        EXPECT_EQ(progress.windowTitle().toStdString(), "Corvane - Operation Status");
        EXPECT_EQ(textOf(progress, "txtFiles"), "3 of 3");
        EXPECT_EQ(textOf(progress, "txtBytes"), "35 of 35");
        EXPECT_EQ(textOf(progress, "txtRatio"), "45%");
        EXPECT_EQ(control<QProgressBar>(progress, "prgOverall")->value(), 100);
        // A report of 100 sets the file bar back to 0.
        EXPECT_EQ(control<QProgressBar>(progress, "prgFile")->value(), 0);
        EXPECT_FALSE(progress.windowFlags().testFlag(Qt::WindowCloseButtonHint));
        progress.close();
        EXPECT_TRUE(progress.isVisible());
        // While it runs, nothing that would start a second operation can be clicked, and the
        // main window stays open.
        for (const C id : {C::New, C::Open, C::Backup, C::ActionsBackup, C::OptionsTestBackup,
                           C::Add, C::Wizard, C::FileExit}) {
            EXPECT_FALSE(action(id)->isEnabled()) << commandKey(id);
        }
        EXPECT_TRUE(action(C::HelpContents)->isEnabled());
        window->close();
        EXPECT_TRUE(window->isVisible());
        self.writeArchive();
        return 0;
    };
    window->show();
    startBackupOfStyle("optSingle");
    host.expectBox("Backup Complete", "", "cmdNo");
    trigger(C::ActionsBackup);
    EXPECT_EQ(fake.compresses.size(), 1u);
    EXPECT_TRUE(action(C::New)->isEnabled());
    EXPECT_TRUE(action(C::Backup)->isEnabled());
}

TEST_F(RunWindows, PasswordPromptAndTestResults) {
    writeFile(home / "out/Daily.bac", "archive");
    host.queueOpenFiles({home / "out/Daily.bac"});
    std::string given;
    fake.onTest = [&](FakeComponent::Events& events, FakeComponent&) {
        events.onPasswordNeeded(given);
        return 0;
    };
    host.expectWindow("frmPassword", [&](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle().toStdString(), "Password Protected Backup Archive");
        EXPECT_EQ(control<QLineEdit>(dialog, "txtPassword")->echoMode(), QLineEdit::Password);
        type(dialog, "txtPassword", "  secret ");
        saveScreenshot(dialog, "password");
        QTest::keyClick(control<QWidget>(dialog, "txtPassword"), Qt::Key_Return);
    });
    host.expectBox("Backup Test Successful", "", "cmdOK");
    trigger(C::OptionsTestBackup);
    EXPECT_EQ(given, "secret");
    EXPECT_EQ(host.fileRequests().back().title, "Choose Backup Archive");
}

TEST_F(RunWindows, TooLargeFileShowsTheMaximumSizeNotice) {
    startBackupOfStyle("optSingle");
    fake.onCompress = [&](FakeComponent::Events& events, FakeComponent& self) {
        std::string stored;
        events.onPreprocessingFile(home / "data/huge.img", 5'000'000'000ULL, stored);
        return self.abortedOr(0);
    };
    host.expectWindow("frmMaximumSize", [&](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle().toStdString(), "Maximum Archive Size");
        EXPECT_EQ(textOf(dialog, "lblHeading"), "Maximum Backup Size");
        EXPECT_EQ(textOf(dialog, "lblText1"),
                  "The current backup operation will exceed the maximum allowable backup size of "
                  "4.0GB.  Backups cannot contain more than 4.0GB of data.");
        saveScreenshot(dialog, "maximum-size");
        click(dialog, "cmdOK");
    });
    host.expectBox("Backup", "", "cmdOK");
    trigger(C::Backup);
}

TEST_F(RunWindows, TimedErrorScreenClosesItself) {
    host.expectWindow("frmTimedError", [](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle().toStdString(), "Backup Error");
        auto* heading = control<QLabel>(dialog, "lblHeading");
        EXPECT_EQ(heading->text().toStdString(), "Error Encountered");
        saveScreenshot(dialog, "timed-error");
        QSignalSpy closed(&dialog, &QDialog::finished);
        EXPECT_TRUE(closed.wait(5000));
    });
    host.showTimedErrorScreen();
}

}  // namespace
}  // namespace corvane::test
