// A tab that reads the market's history (the chart, the movers), shown on its own under the
// offscreen platform with a fake window at 2024-05-17 21:00 and an in-memory history.
#pragma once

#include <gtest/gtest.h>

#include <QTest>
#include <memory>

#include "WindowFixture.h"
#include "market/MemoryHistory.h"
#include "support/TempFolder.h"

namespace mirolanda::app::test {

template <typename Tab>
struct HistoryTabFixture : ::testing::Test {
    mirolanda::testing::TempFolder temp;
    FakeWindow services{temp.Path(), {{2024, 5, 17}, 21, 0}};
    std::shared_ptr<market::MemoryHistory> history;
    Tab tab;

    explicit HistoryTabFixture(std::shared_ptr<market::MemoryHistory> made)
        : history(std::move(made)), tab(services, [this] { return history; }) {
        tab.resize(1000, 600);
        tab.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&tab));
    }
};

}  // namespace mirolanda::app::test
