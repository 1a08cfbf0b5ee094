// The transport's rules without a window: the state table, recording names, wind steps, the time text, the
// recordings list and the section window.
#include "TransportRules.h"
#include "RecordingName.h"
#include "RecordingsList.h"
#include "SectionWindow.h"
#include "TimeText.h"
#include "WindSteps.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <set>
#include <vector>

namespace {

platform::LocalTime At(int h, int m, int s) {
    platform::LocalTime t;
    t.Year = 2026, t.Month = 3, t.Day = 9, t.Hour = h, t.Minute = m, t.Second = s;
    return t;
}

TEST(TransportTable,
     a_recording_ends_only_by_a_save_only_record_starts_one_and_saving_or_ending_take_nothing) {
    using enum TransportStep;
    const std::set<TransportStep> saves{SaveRecording,      SaveForDiskFull, SaveForInputLost,
                                        SaveForWriteFailed, RescueRecording, SaveAndEnd,
                                        EndQuietly};
    for (std::size_t e = 0; e < kTransportEvents; ++e) {
        const auto event = static_cast<TransportEvent>(e);
        for (std::size_t s = 0; s < kTransportStates; ++s) {
            const auto state = static_cast<TransportState>(s);
            SCOPED_TRACE(std::string(EventName(event)) + " in " + StateName(state));
            const TransportStep step = TransportRule(state, event);
            const TransportState after = TransportOutcome(state, step);
            if (state == TransportState::Saving || state == TransportState::Ending) {
                EXPECT_EQ(step, Ignored);
            } else if (IsRecording(state) && !IsRecording(after)) {
                EXPECT_TRUE(saves.count(step)) << StepName(step);
            } else if (!IsRecording(state) && IsRecording(after)) {
                EXPECT_EQ(step, StartRecording);
            }
        }
    }
}

TEST(RecordingNames, two_starts_in_one_second_get_names_that_are_new_and_sort_in_start_order) {
    std::set<std::string> folder;
    auto exists = [&](const std::string& n) { return folder.count(n) > 0; };
    std::vector<std::string> made;
    for (auto t : {At(9, 5, 7), At(9, 5, 7), At(9, 5, 7), At(9, 5, 8)}) {
        made.push_back(UniqueRecordingName(t, exists));
        folder.insert(made.back());
    }
    EXPECT_EQ(made, (std::vector<std::string>{"20260309-090507.wav", "20260309-090507_02.wav",
                                              "20260309-090507_03.wav", "20260309-090508.wav"}));
    std::list<std::string> sorted(made.rbegin(), made.rend());
    SortRecordings(sorted);
    EXPECT_EQ(std::vector<std::string>(sorted.begin(), sorted.end()), made);
}

TEST(RecordingNames, a_new_title_keeps_the_start_stamp_and_the_ending_so_the_order_stays) {
    struct Case {
        const char* name;
        const char* title;
        const char* renamed; // nullptr: refused
        const char* titleBefore;
    };
    for (Case c : {Case{"20260309-090507.wav", "Board meeting", "20260309-090507 Board meeting.wav", ""},
                   Case{"20260309-090507_02.WAV", "B", "20260309-090507_02 B.WAV", ""},
                   Case{"20260309-090507 Old.wav", "", "20260309-090507.wav", "Old"},
                   Case{"20260309-090507 Old.wav", "a/b", nullptr, "Old"},
                   Case{"20260309-090507.wav", "line\nbreak", nullptr, ""},
                   Case{"memo.wav", "Memo 2", "Memo 2.wav", "memo"}, Case{"memo.wav", "..", nullptr, "memo"},
                   Case{"memo.wav", "", nullptr, "memo"},
                   // Not a stamp: a 13th month.
                   Case{"20261309-090507.wav", "x", "x.wav", "20261309-090507"}}) {
        const std::optional<std::string> renamed = RetitledRecording(c.name, c.title);
        EXPECT_EQ(renamed.value_or("refused"), c.renamed ? c.renamed : "refused") << c.name << " " << c.title;
        EXPECT_EQ(RecordingTitle(c.name), c.titleBefore) << c.name;
    }
    // Titled or not, recordings of one second keep their places between the seconds around them.
    std::list<std::string> names{"20260309-090508.wav", "20260309-090507_02.wav", "20260309-090507 Zz.wav",
                                 "20260309-090506 Aa.wav"};
    SortRecordings(names);
    EXPECT_EQ(std::vector<std::string>(names.begin(), names.end()),
              (std::vector<std::string>{"20260309-090506 Aa.wav", "20260309-090507 Zz.wav",
                                        "20260309-090507_02.wav", "20260309-090508.wav"}));
}

TEST(RecordingNames, the_start_time_comes_from_a_stamped_name_only) {
    const std::optional<platform::LocalTime> t = StartTimeFromName("20260309-090507_02 Call.wav");
    ASSERT_TRUE(t);
    EXPECT_EQ(std::vector<int>({t->Year, t->Month, t->Day, t->Hour, t->Minute, t->Second}),
              std::vector<int>({2026, 3, 9, 9, 5, 7}));
    for (const char* other : {"memo.wav", "2026030-090507.wav", "20260309_090507.wav", "20260309-250507.wav",
                              "20260300-090507.wav", "20260309-0905.wav"})
        EXPECT_FALSE(StartTimeFromName(other)) << other;
}

TEST(WindSteps, each_speed_has_its_period_and_step_and_other_codes_have_none) {
    struct Row {
        unsigned speed, fwdMs;
        int fwdS;
        unsigned rewMs;
        int rewS;
    };
    for (Row r : {Row{2, 1000, 1, 400, 2}, Row{4, 500, 1, 250, 2}, Row{8, 250, 1, 150, 2},
                  Row{16, 250, 3, 500, 9}, Row{32, 250, 7, 500, 16}}) {
        SCOPED_TRACE(r.speed);
        EXPECT_EQ(ForwardStep(r.speed)->PeriodMs, r.fwdMs);
        EXPECT_EQ(ForwardStep(r.speed)->Seconds, r.fwdS);
        EXPECT_EQ(RewindStep(r.speed)->PeriodMs, r.rewMs);
        EXPECT_EQ(RewindStep(r.speed)->Seconds, r.rewS);
    }
    for (unsigned speed : {0u, 1u, 3u, 64u})
        EXPECT_FALSE(ForwardStep(speed) || RewindStep(speed)) << speed;
}

TEST(TimeText, shows_hours_minutes_seconds_with_two_digits_at_least) {
    EXPECT_EQ(TimeText(SplitSeconds(3 * 3600 + 2 * 60 + 5)), "03 : 02 : 05");
    EXPECT_EQ(TimeText(SplitSeconds(0)), "00 : 00 : 00");
    EXPECT_EQ(TimeText(SplitSeconds(100 * 3600 + 59)), "100 : 00 : 59");
}

TEST(RecordingsList, lists_only_files_with_wav_names_in_either_case) {
    struct Case {
        const char* name;
        std::uint32_t attributes;
        bool listed;
    };
    for (Case c :
         {Case{"c.wav", 0x80, true}, Case{"B.WAV", 0x20, true}, Case{"d.Wav", 0x80, false},
          Case{"old.wav", 0x10, false}, Case{"old.wav", 0x11, false}, Case{"old.wav", 0x12, false},
          Case{"gone.wav", 0x40, false}, Case{"fifo.wav", 0x41, false}, Case{"wav", 0x80, false},
          Case{".wav", 0x82, true}, Case{"locked.wav", 0x01, true}, Case{"notes.txt", 0x80, false}}) {
        EXPECT_EQ(IsListedRecording({c.name, c.attributes, 0}), c.listed) << c.name << " " << c.attributes;
    }
}

TEST(RecordingsList, sorts_in_byte_order_and_the_current_entry_follows_its_name) {
    std::list<std::string> names{"c.wav", "B.WAV", "a.wav"};
    auto current = names.begin(); // the first one found
    SortRecordings(names);
    EXPECT_EQ(std::vector<std::string>(names.begin(), names.end()),
              (std::vector<std::string>{"B.WAV", "a.wav", "c.wav"}));
    EXPECT_EQ(*current, "c.wav");
}

TEST(RecordingsList, next_and_previous_wrap_around_also_with_a_single_file) {
    std::list<std::string> names{"1.wav", "2.wav", "3.wav"};
    EXPECT_EQ(*NextRecording(names, std::prev(names.end())), "1.wav");
    EXPECT_EQ(*PreviousRecording(names, names.begin()), "3.wav");
    EXPECT_EQ(*NextRecording(names, names.begin()), "2.wav");
    std::list<std::string> one{"only.wav"};
    EXPECT_EQ(NextRecording(one, one.begin()), one.begin());
    EXPECT_EQ(PreviousRecording(one, one.begin()), one.begin());
}

TEST(RecordingsList, recordings_join_and_leave_the_list_and_the_current_entry_moves_on) {
    using Names = std::vector<std::string>;
    struct Case {
        Names before;
        std::string current;
        bool add;
        std::string name;
        Names after;
        std::string currentAfter;
    };
    for (const Case& c :
         {Case{{"a.wav", "c.wav"}, "c.wav", true, "b.wav", {"a.wav", "b.wav", "c.wav"}, "c.wav"},
          Case{{"a.wav"}, "a.wav", true, "a.wav", {"a.wav"}, "a.wav"},
          Case{{kNoWavFiles}, kNoWavFiles, true, "n.wav", {"n.wav"}, "n.wav"},
          Case{{"a.wav", "b.wav", "c.wav"}, "b.wav", false, "b.wav", {"a.wav", "c.wav"}, "c.wav"},
          Case{{"a.wav", "b.wav"}, "b.wav", false, "b.wav", {"a.wav"}, "a.wav"},
          Case{{"a.wav", "b.wav"}, "a.wav", false, "b.wav", {"a.wav"}, "a.wav"},
          Case{{"a.wav"}, "a.wav", false, "a.wav", {kNoWavFiles}, kNoWavFiles},
          Case{{"a.wav"}, "a.wav", false, "z.wav", {"a.wav"}, "a.wav"}}) {
        std::list<std::string> names(c.before.begin(), c.before.end());
        auto current = std::find(names.begin(), names.end(), c.current);
        if (c.add)
            EXPECT_EQ(*AddRecording(names, current, c.name), c.name);
        else
            RemoveRecording(names, current, c.name);
        EXPECT_EQ(Names(names.begin(), names.end()), c.after) << c.name;
        ASSERT_NE(current, names.end());
        EXPECT_EQ(*current, c.currentAfter) << c.name;
    }
}

// Sections starting at the given seconds, linked as the reader links them.
class Sections {
public:
    explicit Sections(std::vector<std::uint32_t> starts) : m_Nodes(starts.size()) {
        for (std::size_t i = 0; i < starts.size(); ++i) {
            m_Nodes[i].Seconds = starts[i];
            m_Nodes[i].Number = static_cast<std::uint16_t>(i + 1);
            m_Nodes[i].pPrev = i ? &m_Nodes[i - 1] : nullptr;
            m_Nodes[i].pNext = i + 1 < starts.size() ? &m_Nodes[i + 1] : nullptr;
        }
        StartSections(w, Cursor());
    }
    SectionCursor Cursor() { return {&m_Nodes[0], cursor, static_cast<std::uint32_t>(m_Nodes.size() - 1)}; }
    std::uint32_t LastStart() const { return m_Nodes.back().Seconds; }
    // (previous, current, next) section numbers; the cursor must stand on the current one.
    std::vector<int> Shown() const {
        EXPECT_EQ(cursor->Number, w.m_CurSection);
        return {w.m_PrevSection, w.m_CurSection, w.m_NextSection};
    }
    SectionWindow w;
    SectionNode* cursor = nullptr;

private:
    std::vector<SectionNode> m_Nodes;
};

TEST(SectionWindow, play_starts_in_section_one_with_the_last_section_before_it) {
    Sections s({0, 60, 120});
    EXPECT_EQ(s.Shown(), (std::vector<int>{3, 1, 2}));
    EXPECT_EQ(s.w.m_PrevSectionStart, 120u);
}

TEST(SectionWindow, the_clock_follows_the_position_through_the_sections) {
    struct Step {
        std::uint32_t t;
        std::vector<int> shown; // previous, current, next
    };
    Sections s({0, 60, 120});
    // Playing on, then a jump from 130 back to 50 (a full search), then one section back.
    for (Step step : {Step{59, {3, 1, 2}}, Step{60, {1, 2, 3}}, Step{119, {1, 2, 3}}, Step{120, {2, 3, 3}},
                      Step{121, {2, 3, 1}}, Step{130, {2, 3, 1}}, Step{50, {1, 1, 2}}, Step{70, {1, 2, 3}},
                      Step{65, {1, 2, 3}}, Step{59, {1, 1, 2}}}) {
        TrackSection(s.w, s.Cursor(), step.t);
        EXPECT_EQ(s.Shown(), step.shown) << "at " << step.t;
    }
}

TEST(SectionWindow, a_jump_of_two_sections_back_from_the_last_searches_from_the_start) {
    Sections s({0, 10, 20, 30});
    for (std::uint32_t t : {10u, 20u, 30u, 31u})
        TrackSection(s.w, s.Cursor(), t);
    EXPECT_EQ(s.Shown(), (std::vector<int>{3, 4, 1}));
    TrackSection(s.w, s.Cursor(), 12);
    EXPECT_EQ(s.Shown(), (std::vector<int>{1, 2, 3}));
}

TEST(SectionWindow, up_and_down_wrap_right_after_play_and_restart_after_the_clock_moved) {
    // Right after Play, up from section 1 goes round to the last section.
    Sections s({0, 60, 120});
    StepSectionUp(s.w, s.Cursor(), s.LastStart());
    EXPECT_EQ(s.Shown(), (std::vector<int>{2, 3, 1}));
    // Down from the last goes round to section 1, down again to 2, up back to 1.
    StepSectionDown(s.w, s.Cursor());
    EXPECT_EQ(s.Shown(), (std::vector<int>{3, 1, 2}));
    StepSectionDown(s.w, s.Cursor());
    EXPECT_EQ(s.Shown(), (std::vector<int>{1, 2, 3}));
    StepSectionUp(s.w, s.Cursor(), s.LastStart());
    EXPECT_EQ(s.Shown(), (std::vector<int>{3, 1, 2}));
    EXPECT_EQ(s.w.m_PrevSectionStart, 120u);

    // After the clock searched its way into section 1, its previous section is section 1 itself.
    Sections t({0, 60, 120});
    TrackSection(t.w, t.Cursor(), 130);
    TrackSection(t.w, t.Cursor(), 5);
    EXPECT_EQ(t.Shown(), (std::vector<int>{1, 1, 2}));
    EXPECT_EQ(t.w.m_PrevSectionStart, 0u);
    // In the first second of the last section its next section is itself; a tick later, section 1.
    TrackSection(t.w, t.Cursor(), 60);
    TrackSection(t.w, t.Cursor(), 120);
    EXPECT_EQ(t.w.m_NextSectionStart, 120u);
    TrackSection(t.w, t.Cursor(), 121);
    EXPECT_EQ(t.w.m_NextSection, 1);
}

TEST(SectionWindow, a_file_with_one_mark_alternates_between_its_two_sections) {
    Sections s({0, 40});
    EXPECT_EQ(s.w.m_NextSectionStart, 40u);
    StepSectionDown(s.w, s.Cursor());
    EXPECT_EQ(s.Shown(), (std::vector<int>{1, 2, 1}));
    EXPECT_EQ(s.w.m_NextSectionStart, 0u);
    StepSectionDown(s.w, s.Cursor());
    EXPECT_EQ(s.Shown(), (std::vector<int>{2, 1, 2}));
    StepSectionUp(s.w, s.Cursor(), s.LastStart());
    EXPECT_EQ(s.Shown(), (std::vector<int>{1, 2, 1}));
}

} // namespace
