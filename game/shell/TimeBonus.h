#pragma once

namespace Velm {

// The time bonus of a won level, in points, from the time value of the play
// screen (update ticks of 10 ms) and the "TimeBonus" points of
// "data/settings.txt" (points for a whole minute).
//
// Adventure mode, where the time counts down: (timeValue + 1) x 0.00016666666
// minutes of bonus in single precision, truncated toward zero. Simple mode, where the time counts up from
// 1: the minutes left of the level's limit ("Time" minutes) in whole points,
// ((limitMinutes * 6000 - timeValue + 1) * bonusPerMinute) / 6000, and 0 when
// the limit was passed. Computed in 64 bits and clamped to 0 .. INT_MAX, so
// no data value can overflow it.
int ComputeTimeBonus(bool adventure, int limitMinutes, int timeValue, int bonusPerMinute);

}  // namespace Velm
