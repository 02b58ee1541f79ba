#include "platform/SettingsKeys.h"

#include <gtest/gtest.h>

namespace mirolanda::platform {
namespace {

TEST(CheckedSetting, ZeroOrOneAsStoredAnythingElseTheDefault) {
    const SettingKey on{kSectionParameters, "On", "1", SettingGroup::Auto};
    const SettingKey off{kSectionParameters, "Off", "0", SettingGroup::Auto};
    struct Case {
        const char* text;
        bool withOnDefault, withOffDefault;
    };
    const Case cases[] = {
        {"1", true, true},   {"0", false, false},  {" 1 ", true, true},  {"01", true, true},
        {"-0", false, false}, {"", true, false},    {"x", true, false},   {"7", true, false},
        {"-1", true, false},  {"1.0", true, false}, {"+1", true, false},  {"\t1", true, false},
        {"1x", true, false},  {"99999999999999999999", true, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CheckedSetting(on, c.text), c.withOnDefault) << '"' << c.text << '"';
        EXPECT_EQ(CheckedSetting(off, c.text), c.withOffDefault) << '"' << c.text << '"';
    }
}

}  // namespace
}  // namespace mirolanda::platform
