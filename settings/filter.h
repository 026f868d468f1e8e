#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "settings/settings_texts.h"
#include "store/module1.h"
#include "store/result.h"

namespace kel {

inline constexpr std::string_view kCheckEntryTitle = "Check entry";
inline constexpr std::string_view kDateMessage = "Date must be in format mm/dd/yy";
inline constexpr std::string_view kPurseMessage
    = "Purse must be a number followed by K (thousands) or M (millions), e.g. 250K or 1.5M";
inline constexpr std::string_view kDistanceMessage
    = "Distance must be in furlongs (F), miles (M) or miles and yards (Y), e.g. 4 1/2F, 1 1/16M or 1 70Y";

// What the Settings frame holds: its four texts and the values of its four check boxes
// (0 unchecked, 1 checked, 2 greyed). Defaults are the frame's initial contents.
struct SettingsTexts
{
    std::string date = "01/01/01";
    int dirt = 1;
    int turf = 1;
    int fast = 1;
    int muddy = 1;
    std::string purseFrom = "0K";
    std::string purseTo = "10M";
    std::string distanceFrom = "4 1/2F";
    std::string distanceTo = "2 1/2M";
};

// The values one "Go!" reads from the frame.
struct FilterSettings
{
    double sinceYear = 0;
    double sinceMonth = 0;
    double sinceDay = 0;
    int dateTextLength = 0;
    bool includeDirt = true;
    bool includeTurf = true;
    bool includeFastGood = true;
    bool includeMuddySloppy = true;
    std::optional<double> purseFrom;
    std::optional<double> purseTo;
    Value distanceFrom;
    Value distanceTo;
};

FilterSettings MakeFilterSettings(const SettingsTexts &texts);

// The characters the date box holds: "mm/dd/yy".
inline constexpr int kDateTextLength = 8;

// The message that refuses the settings, if any: a limit without a value, or a date text longer
// than the box holds, always; a short date text only when the scope holds a PP (the date is
// checked at the first PP).
std::optional<std::string_view> CheckFilterSettings(const Module1 &m, const FilterSettings &s);

// Condition code of a track-condition text (PP slot 9), given the PP's distance (PP slot 7).
std::string_view ConditionCode(std::string_view trackCondition, std::string_view distance);

// The check box that governs a condition code, compared exactly ("f" and "F" differ).
enum class ConditionGroup { None, FastGood, MuddySloppy };
ConditionGroup ConditionGroupOf(std::string_view code);

// True when the PP fails one of the five tests (date, surface, condition, purse, distance).
bool FailsFilter(const RaceStore &d, int r, int h, int p, const FilterSettings &s);

// Adds the filter mark "F" to every PP of the scope that fails the settings, never over "S".
// Runs no check and no engine.
void MarkFilteredPPs(Module1 &m, const FilterSettings &s);

// "Go!": checks the settings, marks the failing PPs of the scope, notes the settings in the
// filter notes of its races and reruns the engine for it. Fails with the refusal message (title
// kCheckEntryTitle) when nothing was done.
Result<void> RunGo(Module1 &m, const SettingsTexts &texts);

// The settings in a few words, as a filter note keeps them: the date, then only what differs
// from the frame's initial contents ("since 09/01/24, no turf, purse 20K to 10M").
std::string FilterSummary(const SettingsTexts &texts);

} // namespace kel
