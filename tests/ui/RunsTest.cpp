#include "WindowFixture.h"

#include <QLocale>

using velquor::testing::WindowFixture;

namespace {

struct SingleRunCase {
    const char* button;
    const char* timeField;
    const char* heightField;
    const char* time;
    const char* height;
};

class SingleRun : public WindowFixture, public ::testing::WithParamInterface<SingleRunCase> {};

TEST_P(SingleRun, ShowsFlightTimeAndHeightAtDefaultSettings) {
    const SingleRunCase& c = GetParam();
    EnterSimulation();
    Click(c.button);
    EXPECT_EQ(Text(c.timeField), QString::fromUtf8(c.time));
    EXPECT_EQ(Text(c.heightField), QString::fromUtf8(c.height));
}

INSTANTIATE_TEST_SUITE_P(Defaults, SingleRun,
                         ::testing::Values(SingleRunCase{"Button4", "Edit4", "Edit5", "0,49", "0,29"},
                                           SingleRunCase{"Button5", "Edit6", "Edit7", "2,94", "1,76"},
                                           SingleRunCase{"Button6", "Edit8", "Edit9", "1,43", "0,97"},
                                           SingleRunCase{"Button7", "Edit10", "Edit11", "5,38", "3,23"},
                                           SingleRunCase{"Button8", "Edit12", "Edit13", "2,65", "1,63"}));

} // namespace
