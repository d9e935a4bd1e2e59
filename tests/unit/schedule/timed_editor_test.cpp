// The timed backup editors: field rules, enabling, browsing, first runs and OK's checks in order.
#include "schedule/timed_editor.h"

#include "box_check.h"
#include "schedule_fixture.h"

namespace corvane::test {
namespace {

constexpr std::size_t kEveryDay = 3;
constexpr std::size_t kEvery12Hours = 4;
constexpr std::size_t kEvery6Hours = 5;
constexpr std::size_t kEveryHour = 6;

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
    const Case cases[] = {{"7", "7", "7"},   {"07", "07", "07"}, {"23", "23", "23"},
                          {"24", "", "24"},  {"59", "", "59"},   {"60", "", ""},
                          {"-1", "", ""},    {"1a", "", ""},     {"7.5", "", ""},
                          {" 7", " 7", " 7"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        editor.typeHour(c.typed);
        editor.typeMinute(c.typed);
        EXPECT_EQ(editor.hourField(), c.hour);
        EXPECT_EQ(editor.minuteField(), c.minute);
    }
}

TEST_F(TimedEditorTest, OpeningStateAndHourBasedIntervalsDisableTheTime) {
    TimedEditor editor(context(), TimedEditor::Mode::New, result);
    EXPECT_EQ(editor.caption(), "Setup Timed Backup");
    EXPECT_FALSE(editor.selectedInterval());
    EXPECT_FALSE(editor.locationEnabled());
    editor.pickStartDate({2026, 11, 30});  // before today: refused
    EXPECT_EQ(editor.startDate(), (CalendarDate{2026, 12, 4}));
    for (std::size_t position = 0; position < kIntervalTexts.size(); ++position) {
        editor.selectInterval(position);
        EXPECT_EQ(editor.timeFieldsEnabled(), position < kEvery12Hours) << position;
        EXPECT_EQ(editor.startDateEnabled(), position < kEvery12Hours) << position;
    }
    editor.browseLocation();  // disabled until a set is chosen: no chooser opens
    EXPECT_TRUE(host.folderTitles().empty());

    // Modify of a row it cannot show as it is: an unknown interval, a broken time, a past date.
    TimedEditor modify(context(), TimedEditor::Mode::Modify, result);
    EXPECT_EQ(modify.caption(), "Modify Timed Backup");
    EXPECT_FALSE(modify.setBrowseAvailable());
    modify.prefill("/sets/a.cvt", "Every 2 Weeks", "garbage", "2026-01-01");
    EXPECT_FALSE(modify.selectedInterval());
    EXPECT_EQ(modify.hourField(), "");
    EXPECT_EQ(modify.startDate(), (CalendarDate{2026, 12, 4}));
    modify.cancel();
    EXPECT_TRUE(result.name.empty());
}

TEST_F(TimedEditorTest, ChecksRunInOrderWithTheirExactMessages) {
    const std::string set = writeStandardSet("Daily.cvt", "/out/Daily.bac");
    struct Case {
        bool chooseSet;
        std::optional<std::size_t> interval;
        const char* hour;
        const char* minute;
        const char* title;
        std::string_view text;
    };
    const Case cases[] = {
        {false, std::nullopt, "", "", "No Backup Name",
         "Unable to add Backup.  Backup 'Name' has not been specified."},
        {true, std::nullopt, "", "5", "Invalid Backup Time",
         "Unable to add Backup.  Backup 'Hour' and 'Minute' must be specified."},
        {true, kEveryDay, "0", "00", "Invalid Backup Time",
         "Unable to add Backup.  Backup 'Hour' and 'Minute' cannot be set to '00:00'."},
        {true, std::nullopt, "9", "5", "Invalid Backup Type",
         "Unable to add Backup.  Backup 'Type' must be specified."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        TimedEditor editor = c.chooseSet ? newEditorWith(set)
                                         : TimedEditor(context(), TimedEditor::Mode::New, result);
        editor.selectInterval(c.interval);
        editor.typeHour(c.hour);
        editor.typeMinute(c.minute);
        host.expectMessage(c.title, Answer::Ok);
        EXPECT_FALSE(editor.confirm());
        expectBox(host.messages().back(), Icon::Information, Buttons::Ok, std::string(c.text));
        EXPECT_FALSE(editor.confirmed());
    }
}

// A day-based entry runs at its typed time, refused for today once that minute has come; an
// hour-based one ignores the time fields and runs one period after the clock's minute.
TEST_F(TimedEditorTest, FirstRunFollowsTheClock) {
    const std::string set = writeStandardSet("Daily.cvt", "/out/Daily.bac");
    struct Case {
        LocalDateTime now;
        std::size_t interval;
        const char* hour;
        const char* minute;
        std::optional<CalendarDate> start;  // none: today, as the editor opens
        const char* runTime;                // nullptr: refused, the time has passed
        CalendarDate nextRun;
    };
    const LocalDateTime afternoon{2026, 12, 4, 14, 30, 45};
    const Case cases[] = {
        {afternoon, kEveryDay, "14", "30", {}, nullptr, {}},
        {afternoon, kEveryDay, "14", "29", {}, nullptr, {}},
        {afternoon, kEveryDay, "13", "59", {}, nullptr, {}},
        {afternoon, kEveryDay, "14", "31", {}, "14:31:00", {2026, 12, 4}},
        {afternoon, 0, "9", "0", CalendarDate{2026, 12, 5}, "09:00:00", {2026, 12, 5}},
        {afternoon, kEveryDay, "0", "1", CalendarDate{2026, 12, 6}, "00:01:00", {2026, 12, 6}},
        {{2026, 12, 4, 23, 40, 10}, kEveryHour, "", "", {}, "00:40:00", {2026, 12, 5}},
        {{2026, 12, 4, 13, 5, 0}, kEvery12Hours, "3", "", {}, "01:05:00", {2026, 12, 5}},
        {{2026, 12, 4, 8, 15, 0}, kEvery6Hours, "", "", {}, "14:15:00", {2026, 12, 4}},
        {{2026, 12, 4, 11, 59, 0}, kEvery12Hours, "", "", {}, "23:59:00", {2026, 12, 4}},
        {{2026, 12, 31, 18, 0, 0}, kEvery6Hours, "", "", {}, "00:00:00", {2027, 1, 1}},
        {{2028, 2, 28, 22, 7, 0}, kEvery6Hours, "", "", {}, "04:07:00", {2028, 2, 29}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.now.hour << ":" << c.now.minute << " interval "
                                        << c.interval << " " << c.hour << ":" << c.minute);
        clock.set(fromLocal(c.now));
        result = {};
        TimedEditor editor = newEditorWith(set);
        editor.selectInterval(c.interval);
        editor.typeHour(c.hour);
        editor.typeMinute(c.minute);
        if (c.start) editor.pickStartDate(*c.start);
        if (c.runTime == nullptr) {
            host.expectMessage("Invalid Time", Answer::Ok);
            EXPECT_FALSE(editor.confirm());
            expectBox(host.messages().back(), Icon::Exclamation, Buttons::Ok,
                      "Unable to set the Timed Backup for today.  The time you have entered has "
                      "already passed.");
            continue;
        }
        ASSERT_TRUE(editor.confirm());
        EXPECT_EQ(result.interval, kIntervalTexts[c.interval]);
        EXPECT_EQ(result.runTime, c.runTime);
        EXPECT_EQ(result.nextRunDate, c.nextRun);
    }
}

TEST_F(TimedEditorTest, BrowsingChoosesTheSetAndMovesItsLocation) {
    const std::string set = writeStandardSet("Daily.cvt", "/out/Daily.bac");
    TimedEditor editor = newEditorWith(set);
    EXPECT_EQ(result.name, set);
    EXPECT_EQ(editor.locationField(), "/out/Daily.bac");
    const auto& request = host.fileRequests().at(0);
    EXPECT_EQ(request.title, "Choose Backup Set");
    EXPECT_EQ(request.filter, "Corvane Sets (*.cvt)|*.cvt");
    EXPECT_EQ(request.initialFolder, home / "Backup Sets");
    EXPECT_TRUE(request.mustExist);

    host.queueFolder(std::string(" /media/usb\0garbage", 19));  // cut at the NUL and trimmed
    editor.browseLocation();
    EXPECT_EQ(host.folderTitles().at(0), "Select Device or Location to Backup to:");
    EXPECT_EQ(editor.locationField(), "/media/usb/Daily.bac");
    editor.selectInterval(kEveryDay);
    editor.typeHour("9");
    editor.typeMinute("0");
    editor.pickStartDate({2026, 12, 5});
    ASSERT_TRUE(editor.confirm());
    EXPECT_EQ(editor.hourField(), "09");  // padded as they are stored
    EXPECT_EQ(editor.minuteField(), "00");
    EXPECT_NE(readFile(set).find("\"DefaultLocation=/media/usb/Daily.bac\"\r\n"),
              std::string::npos);
}

TEST_F(TimedEditorTest, UnusableSetsAndLocationsAreReported) {
    const std::string old = writeSet("Old.cvt", {"Backup Set - v4.0", "[OPTIONS]"});
    host.expectMessage("Incompatible Backup Set", Answer::Ok);
    TimedEditor editor = newEditorWith(old);
    expectBox(host.messages().back(), Icon::Information, Buttons::Ok, kIncompatibleText);
    EXPECT_FALSE(editor.locationEnabled());
    editor.selectInterval(kEveryHour);
    host.expectMessage("Incompatible Backup Set", Answer::Ok);
    EXPECT_FALSE(editor.confirm());
    EXPECT_EQ(readFile(old), "\"Backup Set - v4.0\"\r\n\"[OPTIONS]\"\r\n");

    const std::string cut = writeSet("Cut.cvt", {"Corvane Set - v6.0", "[OPTIONS]"});
    host.expectMessage("Error", Answer::Ok);
    TimedEditor unreadable = newEditorWith(cut);
    expectBox(host.messages().back(), Icon::Exclamation, Buttons::Ok,
              "Error reading in information from Backup Set.  Unable to load the selected "
              "Backup Set.");
    EXPECT_FALSE(unreadable.locationEnabled());

    const std::string shortName = writeStandardSet("Short.cvt", "/out/ab");
    TimedEditor location = newEditorWith(shortName);
    host.queueFolder("/media/usb");
    host.expectMessage("Error", Answer::Ok);
    location.browseLocation();
    EXPECT_EQ(host.messages().back().text, "Error encountered setting the new default location.");
    EXPECT_EQ(location.locationField(), "/out/ab");

    // A set gone before OK: the rewrite fails and the dialog stays open.
    const std::string gone = writeStandardSet("Gone.cvt", "/out/Gone.bac");
    TimedEditor vanished = newEditorWith(gone);
    vanished.selectInterval(kEveryHour);
    ::unlink(gone.c_str());
    host.expectMessage("Error", Answer::Ok);
    EXPECT_FALSE(vanished.confirm());
    expectBox(host.messages().back(), Icon::Critical, Buttons::Ok,
              "Error Setting Timed Backup.\r\n\r\nError:  53");
    EXPECT_FALSE(vanished.confirmed());
}

}  // namespace
}  // namespace corvane::test
