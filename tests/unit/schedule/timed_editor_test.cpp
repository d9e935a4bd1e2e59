// The timed backup editors: field rules, enabling, browsing, and OK's checks in their order.
#include "schedule/timed_editor.h"

#include "schedule_fixture.h"

namespace corvane::test {
namespace {

constexpr std::string_view kPassed =
    "Unable to set the Timed Backup for today.  The time you have entered has already passed.";
constexpr std::size_t kEveryDay = 3;
constexpr std::size_t kEveryHour = 6;
constexpr std::size_t kEvery12Hours = 4;

class TimedEditorTest : public ScheduleFixture {
protected:
    // A New editor with `set` chosen through its browse button.
    TimedEditor newEditorWith(const std::string& set) {
        TimedEditor editor(context(), TimedEditor::Mode::New, result);
        host.queueOpenFiles({set});
        editor.browseSet();
        return editor;
    }

    TimedEditResult result;
};

TEST_F(TimedEditorTest, TimeFieldsEmptyThemselvesOnAnythingButAnHourOrMinute) {
    TimedEditor editor(context(), TimedEditor::Mode::New, result);
    struct Case {
        const char* typed;
        const char* hour;
        const char* minute;
    };
    const Case cases[] = {{"7", "7", "7"},     {"07", "07", "07"}, {"23", "23", "23"},
                          {"24", "", "24"},    {"59", "", "59"},   {"60", "", ""},
                          {"25", "", "25"},    {"-1", "", ""},     {"1a", "", ""},
                          {"7.5", "", ""},     {" 7", " 7", " 7"}, {"", "", ""}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        editor.typeHour(c.typed);
        editor.typeMinute(c.typed);
        EXPECT_EQ(editor.hourField(), c.hour);
        EXPECT_EQ(editor.minuteField(), c.minute);
    }
}

TEST_F(TimedEditorTest, OpensEmptyAndHourBasedIntervalsDisableTheTime) {
    TimedEditor editor(context(), TimedEditor::Mode::New, result);
    EXPECT_EQ(editor.caption(), "Setup Timed Backup");
    EXPECT_FALSE(editor.selectedInterval());
    EXPECT_FALSE(editor.locationEnabled());
    EXPECT_TRUE(editor.timeFieldsEnabled());
    EXPECT_EQ(editor.startDate(), (CalendarDate{2026, 12, 4}));
    EXPECT_EQ(editor.earliestStartDate(), (CalendarDate{2026, 12, 4}));
    editor.pickStartDate({2026, 11, 30});
    EXPECT_EQ(editor.startDate(), (CalendarDate{2026, 12, 4}));

    for (std::size_t position = 0; position < kIntervalTexts.size(); ++position) {
        editor.selectInterval(position);
        EXPECT_EQ(editor.timeFieldsEnabled(), position < kEvery12Hours) << position;
        EXPECT_EQ(editor.startDateEnabled(), position < kEvery12Hours) << position;
    }
    editor.browseLocation();  // disabled until a set is chosen: no chooser opens
    EXPECT_TRUE(host.folderTitles().empty());
}

TEST_F(TimedEditorTest, ChecksRunInOrderWithTheirExactMessages) {
    const std::string set = writeStandardSet("Daily.cvt", "/out/Daily.bac");
    struct Case {
        const char* what;
        bool chooseSet;
        std::optional<std::size_t> interval;
        const char* hour;
        const char* minute;
        const char* title;
        std::string_view text;
        Icon icon;
    };
    const Case cases[] = {
        {"nothing at all", false, std::nullopt, "", "", "No Backup Name",
         "Unable to add Backup.  Backup 'Name' has not been specified.",
         Icon::Information},
        {"no interval, empty time", true, std::nullopt, "", "5", "Invalid Backup Time",
         "Unable to add Backup.  Backup 'Hour' and 'Minute' must be specified.",
         Icon::Information},
        {"midnight", true, kEveryDay, "0", "00", "Invalid Backup Time",
         "Unable to add Backup.  Backup 'Hour' and 'Minute' cannot be set to '00:00'.",
         Icon::Information},
        {"no interval", true, std::nullopt, "9", "5", "Invalid Backup Type",
         "Unable to add Backup.  Backup 'Type' must be specified.", Icon::Information},
        {"current minute", true, kEveryDay, "14", "30", "Invalid Time", kPassed,
         Icon::Exclamation},
        {"a minute ago", true, kEveryDay, "14", "29", "Invalid Time", kPassed,
         Icon::Exclamation},
        {"an earlier hour", true, kEveryDay, "13", "59", "Invalid Time", kPassed,
         Icon::Exclamation},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        result = {};
        TimedEditor editor = c.chooseSet ? newEditorWith(set)
                                         : TimedEditor(context(), TimedEditor::Mode::New, result);
        editor.selectInterval(c.interval);
        editor.typeHour(c.hour);
        editor.typeMinute(c.minute);
        host.expectMessage(c.title, Answer::Ok);
        EXPECT_FALSE(editor.confirm());
        ASSERT_FALSE(host.messages().empty());
        EXPECT_EQ(host.messages().back().text, c.text);
        EXPECT_EQ(host.messages().back().icon, c.icon);
        EXPECT_EQ(host.messages().back().buttons, Buttons::Ok);
        EXPECT_FALSE(editor.confirmed());
    }
    EXPECT_EQ(readFile(set).find("/out/Daily.bac") != std::string::npos, true);
}

TEST_F(TimedEditorTest, DayBasedEntryPadsTheTimeAndWritesTheLocation) {
    const std::string set = writeStandardSet("Daily.cvt", "/out/Daily.bac");
    TimedEditor editor = newEditorWith(set);
    EXPECT_EQ(result.name, set);
    EXPECT_TRUE(editor.locationEnabled());
    EXPECT_EQ(editor.locationField(), "/out/Daily.bac");
    EXPECT_EQ(host.fileRequests().at(0).title, "Choose Backup Set");
    EXPECT_EQ(host.fileRequests().at(0).filter, "Corvane Sets (*.cvt)|*.cvt");
    EXPECT_EQ(host.fileRequests().at(0).initialFolder, home / "Backup Sets");
    EXPECT_TRUE(host.fileRequests().at(0).mustExist);

    host.queueFolder(std::string(" /media/usb\0garbage", 19));  // cut at the NUL and trimmed
    editor.browseLocation();
    EXPECT_EQ(host.folderTitles().at(0), "Select Device or Location to Backup to:");
    EXPECT_EQ(editor.locationField(), "/media/usb/Daily.bac");

    editor.selectInterval(kEveryDay);
    editor.typeHour("14");
    editor.typeMinute("31");
    ASSERT_TRUE(editor.confirm());
    EXPECT_EQ(result.interval, "Every Day");
    EXPECT_EQ(result.runTime, "14:31:00");
    EXPECT_EQ(result.nextRunDate, (CalendarDate{2026, 12, 4}));
    EXPECT_NE(readFile(set).find("\"DefaultLocation=/media/usb/Daily.bac\"\r\n"),
              std::string::npos);

    // Tomorrow any time goes, and one-digit fields are padded as they are shown.
    TimedEditor tomorrow = newEditorWith(set);
    tomorrow.selectInterval(0);
    tomorrow.typeHour("9");
    tomorrow.typeMinute("0");
    tomorrow.pickStartDate({2026, 12, 5});
    ASSERT_TRUE(tomorrow.confirm());
    EXPECT_EQ(tomorrow.hourField(), "09");
    EXPECT_EQ(tomorrow.minuteField(), "00");
    EXPECT_EQ(result.runTime, "09:00:00");
    EXPECT_EQ(result.nextRunDate, (CalendarDate{2026, 12, 5}));

    TimedEditor earliest = newEditorWith(set);  // a minute past midnight is no midnight
    earliest.selectInterval(kEveryDay);
    earliest.typeHour("0");
    earliest.typeMinute("1");
    earliest.pickStartDate({2026, 12, 6});
    ASSERT_TRUE(earliest.confirm());
    EXPECT_EQ(result.runTime, "00:01:00");
}

TEST_F(TimedEditorTest, HourBasedEntryTakesItsTimeFromTheClock) {
    const std::string set = writeStandardSet("Hourly.cvt", "/out/$DATE$.bac");
    clock.set(fromLocal({2026, 12, 4, 23, 40, 10}));
    TimedEditor editor = newEditorWith(set);
    editor.selectInterval(kEveryHour);
    ASSERT_TRUE(editor.confirm());  // empty time fields are fine
    EXPECT_EQ(result.runTime, "00:40:00");
    EXPECT_EQ(result.nextRunDate, (CalendarDate{2026, 12, 5}));

    TimedEditor twelve = newEditorWith(set);
    clock.set(fromLocal({2026, 12, 4, 13, 5, 0}));
    twelve.selectInterval(kEvery12Hours);
    twelve.typeHour("3");
    ASSERT_TRUE(twelve.confirm());
    EXPECT_EQ(result.runTime, "01:05:00");
    EXPECT_EQ(result.nextRunDate, (CalendarDate{2026, 12, 5}));
}

TEST_F(TimedEditorTest, UnusableSetsAndLocationsAreReported) {
    const std::string old = writeSet("Old.cvt", {"Backup Set - v4.0", "[OPTIONS]"});
    host.expectMessage("Incompatible Backup Set", Answer::Ok);
    TimedEditor editor = newEditorWith(old);
    EXPECT_EQ(host.messages().back().text, kIncompatibleText);
    EXPECT_EQ(host.messages().back().icon, Icon::Information);
    EXPECT_EQ(result.name, old);
    EXPECT_FALSE(editor.locationEnabled());
    editor.selectInterval(kEveryHour);
    host.expectMessage("Incompatible Backup Set", Answer::Ok);
    EXPECT_FALSE(editor.confirm());
    EXPECT_EQ(readFile(old), "\"Backup Set - v4.0\"\r\n\"[OPTIONS]\"\r\n");

    const std::string cut = writeSet("Cut.cvt", {"Corvane Set - v6.0", "[OPTIONS]"});
    host.expectMessage("Error", Answer::Ok);
    TimedEditor unreadable = newEditorWith(cut);
    EXPECT_EQ(host.messages().back().text,
              "Error reading in information from Backup Set.  Unable to load the selected "
              "Backup Set.");
    EXPECT_EQ(host.messages().back().icon, Icon::Exclamation);
    EXPECT_FALSE(unreadable.locationEnabled());

    const std::string shortName = writeStandardSet("Short.cvt", "/out/ab");
    TimedEditor location = newEditorWith(shortName);
    host.queueFolder("/media/usb");
    host.expectMessage("Error", Answer::Ok);
    location.browseLocation();
    EXPECT_EQ(host.messages().back().text, "Error encountered setting the new default location.");
    EXPECT_EQ(location.locationField(), "/out/ab");
}

TEST_F(TimedEditorTest, RewriteFailureKeepsTheDialogOpen) {
    const std::string set = writeStandardSet("Daily.cvt", "/out/Daily.bac");
    TimedEditor editor = newEditorWith(set);
    editor.selectInterval(kEveryHour);
    ::unlink(set.c_str());
    host.expectMessage("Error", Answer::Ok);
    EXPECT_FALSE(editor.confirm());
    EXPECT_EQ(host.messages().back().text, "Error Setting Timed Backup.\r\n\r\nError:  53");
    EXPECT_EQ(host.messages().back().icon, Icon::Critical);
    EXPECT_FALSE(editor.confirmed());
}

// A row the editor cannot show as it is: an unknown interval, a broken time, a past date.
TEST_F(TimedEditorTest, ModifyOfAnOddRowShowsWhatIsValid) {
    TimedEditor editor(context(), TimedEditor::Mode::Modify, result);
    EXPECT_EQ(editor.caption(), "Modify Timed Backup");
    EXPECT_FALSE(editor.setBrowseAvailable());
    editor.prefill("/sets/a.cvt", "Every 2 Weeks", "garbage", "2026-01-01");
    EXPECT_FALSE(editor.selectedInterval());
    EXPECT_EQ(editor.hourField(), "");
    EXPECT_EQ(editor.startDate(), (CalendarDate{2026, 12, 4}));
    editor.cancel();
    EXPECT_TRUE(result.name.empty());
}

}  // namespace
}  // namespace corvane::test
