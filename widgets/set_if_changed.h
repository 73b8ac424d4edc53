#pragma once
// The one way the instruments and the chart store a property: when the new
// value equals the one held nothing happens at all (the live frames set every
// indicator several times a second, mostly to what it already shows);
// otherwise the value is stored and its owner repaints.
#include <cmath>
#include <type_traits>
#include <utility>

// `owner` is a widget, whose update() is called, or a callable run instead
// (the chart, which must also drop its screen buffer). Returns whether the
// value changed, for setters that have more to announce. Two values that are
// not numbers count as equal, so a reading that stays unknown repaints once.
template <typename T, typename V, typename Owner>
bool SetIfChanged(T& member, V&& value, Owner&& owner)
{
    if constexpr (std::is_floating_point_v<T>) {
        if (std::isnan(member) && std::isnan(static_cast<T>(value)))
            return false;
    }
    if (member == value)
        return false;
    member = std::forward<V>(value);
    if constexpr (requires { owner->update(); })
        owner->update();
    else
        owner();
    return true;
}
