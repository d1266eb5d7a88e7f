#pragma once
// Fixture of the data-access tests: a fresh script and a connection on a scripted provider.
#include <gtest/gtest.h>

#include "dataaccess/DbConnection.h"
#include "dataaccess/DbQuery.h"
#include "dataaccess/TextUtils.h"
#include "platform/CodePage.h"
#include "tests/dataaccess/ScriptedProvider.h"

namespace vantrelo::test {

class DataAccessTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterScriptedProviders();
        ResetScript();
    }

    static std::string Utf8(const std::u16string& s) { return UnicodeToUtf8(s); }

    // The message of what `f` throws as E, or a failure when it throws nothing.
    template <class E = Exception, class F> static std::string MessageOf(F&& f) {
        try {
            f();
        } catch (const E& e) {
            return UnicodeToUtf8(e.Message());
        }
        ADD_FAILURE() << "nothing was raised";
        return {};
    }
};

} // namespace vantrelo::test
