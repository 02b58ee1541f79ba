// Small hand-made market days for the database's tests.
#pragma once

#include <initializer_list>
#include <string>

#include "market/DaySnapshot.h"

namespace mirolanda::marketdb::test {

struct Row {
    int Code;
    market::Tenths Open, High, Low, Close;
    int64_t Volume;
    double Factor = 1.0;
};

inline market::DaySnapshot MakeDay(platform::Date day, std::initializer_list<Row> rows, std::string source = "csv") {
    market::DaySnapshot snapshot{day, std::move(source), {}};
    for (const Row& r : rows) {
        market::Bar bar{day, r.Open, r.High, r.Low, r.Close, r.Volume, std::nullopt, r.Factor};
        snapshot.Rows.push_back({r.Code, "銘柄" + std::to_string(r.Code), bar, "", ""});
    }
    return snapshot;
}

}  // namespace mirolanda::marketdb::test
