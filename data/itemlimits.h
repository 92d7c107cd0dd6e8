#pragma once

// How an item's readings are judged against its limits.
enum class AcceptanceRule { None = 0, Iso19840 = 1, SspcPa2 = 2 };

// The acceptance limits of an item, in micrometres whatever unit the item
// shows; 0 means not set.
struct ItemLimits
{
    double nominal = 0;     // nominal dry film thickness (NDFT)
    double minimum = 0;
    double maximum = 0;
    double correction = 0;  // subtracted from every reading before judging it
    AcceptanceRule rule = AcceptanceRule::None;

    bool isSet() const
    {
        return nominal > 0 || minimum > 0 || maximum > 0 || correction > 0 || rule != AcceptanceRule::None;
    }

    // The rule has the limits it judges by: ISO 19840 the NDFT, SSPC-PA 2
    // the minimum and the maximum; and a set minimum is not above a set
    // maximum.
    bool isComplete() const
    {
        if (minimum > 0 && maximum > 0 && minimum > maximum)
            return false;
        switch (rule) {
        case AcceptanceRule::Iso19840:
            return nominal > 0;
        case AcceptanceRule::SspcPa2:
            return minimum > 0 && maximum > 0;
        case AcceptanceRule::None:
            break;
        }
        return true;
    }

    bool operator==(const ItemLimits &o) const
    {
        return nominal == o.nominal && minimum == o.minimum && maximum == o.maximum && correction == o.correction
            && rule == o.rule;
    }
    bool operator!=(const ItemLimits &o) const { return !(*this == o); }
};
