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

// Check boxes: 0 unchecked, 1 checked, 2 greyed. The defaults are the frame's initial contents.
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

inline constexpr int kDateTextLength = 8;

// A limit without a value or a date longer than the box always refuses; a short date only when
// the scope holds a PP (the date is checked at the first PP).
std::optional<std::string_view> CheckFilterSettings(const Module1 &m, const FilterSettings &s);

std::string_view ConditionCode(std::string_view trackCondition, std::string_view distance);

// Codes compare exactly: "f" and "F" differ.
enum class ConditionGroup { None, FastGood, MuddySloppy };
ConditionGroup ConditionGroupOf(std::string_view code);

bool FailsFilter(const RaceStore &d, int r, int h, int p, const FilterSettings &s);

// Never over "S"; runs no check and no engine.
void MarkFilteredPPs(Module1 &m, const FilterSettings &s);

// Fails with the refusal (title kCheckEntryTitle) having done nothing.
Result<void> RunGo(Module1 &m, const SettingsTexts &texts);

// The date, then what differs from the initial contents ("since 09/01/24, no turf, purse 20K to 10M").
std::string FilterSummary(const SettingsTexts &texts);

} // namespace kel
