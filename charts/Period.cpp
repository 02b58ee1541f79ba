#include "charts/Period.h"

namespace mirolanda::charts {

std::array<int, 3> AverageLengths(Period period) {
    switch (period) {
        case Period::Week: return {13, 26, 52};
        case Period::Month: return {9, 24, 60};
        case Period::Day: break;
    }
    return {5, 25, 75};
}

std::string_view PeriodCaption(Period period) {
    switch (period) {
        case Period::Week: return "週足";
        case Period::Month: return "月足";
        case Period::Day: break;
    }
    return "日足";
}

std::string_view ChangeCaption(Period period) {
    switch (period) {
        case Period::Week: return "前週比";
        case Period::Month: return "前月比";
        case Period::Day: break;
    }
    return "前日比";
}

}  // namespace mirolanda::charts
