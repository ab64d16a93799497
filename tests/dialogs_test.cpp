#include <gtest/gtest.h>

#include "support/named_case.h"

#include "app/dialogs.h"
#include "app/guard.h"
#include "link/com_error.h"
#include "support/recorder.h"

struct TFullStopCase {
    const char* Name;
    QString Message;
    QString Shown;
};

class ErrorBoxFullStop : public ::testing::TestWithParam<TFullStopCase> {};

TEST_P(ErrorBoxFullStop, AddsAFullStopOnlyAfterCharactersAboveIt) {
    EXPECT_EQ(ErrorBoxText(GetParam().Message), GetParam().Shown);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ErrorBoxFullStop,
    ::testing::Values(TFullStopCase{"Letter", "Port Not Open", "Port Not Open."},
                      TFullStopCase{"Parenthesis", "Unable to open com port (Error: 2)",
                                    "Unable to open com port (Error: 2)"},
                      TFullStopCase{"Exclamation", "Stop!", "Stop!"},
                      TFullStopCase{"AlreadyFullStop", "Done.", "Done."},
                      TFullStopCase{"Slash", "a/", "a/."}, TFullStopCase{"Digit", "Error 5", "Error 5."},
                      TFullStopCase{"Comma", "a,", "a,"}, TFullStopCase{"Chinese", "没有找到串口", "没有找到串口."},
                      TFullStopCase{"Empty", "", ""}),
    RowName());

TEST(Guard, ErrorEscapingAHandlerIsShownOnceAndGoesNoFurther) {
    TRecorder::Instance().Clear();
    bool after = false;
    Guarded([] { throw EComPort(ComError::NotOpen); });
    after = true;
    EXPECT_TRUE(after);
    EXPECT_EQ(TRecorder::Instance().Errors, QStringList{"Port Not Open."});
}

TEST(ComError, AddsTheSystemErrorCodeWhenThereIsOne) {
    EXPECT_STREQ(EComPort(ComError::OpenFailed, 5).what(), "Unable to open com port (Error: 5)");
    EXPECT_STREQ(EComPort(ComError::NotOpen).what(), "Port Not Open");
}
