// The shell's tests run under the program's own application object, on the offscreen
// platform unless another is asked for.
#include <gtest/gtest.h>

#include "app/Application.h"
#include "tests/app/AppTestSupport.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    vantrelo::TApplication app(argc, argv, vantrelo::test::AppDialogs());
    return RUN_ALL_TESTS();
}
