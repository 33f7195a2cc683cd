// max_tokens_per_step from config.json.
#include <gtest/gtest.h>

#include "engine/engine_error.h"
#include "engine/model_config.h"

namespace orvello {
namespace {

std::string ErrorOf(std::string_view config) {
    try {
        ParseMaxTokensPerStep(config);
    } catch (const EngineError& error) {
        return error.what();
    }
    return "no error";
}

TEST(ModelConfig, MaxTokensPerStepDefaultsToTenAndIsTruncated) {
    EXPECT_EQ(ParseMaxTokensPerStep("{}"), 10);
    EXPECT_EQ(ParseMaxTokensPerStep(R"({"other": "x", "max_tokens_per_step": 4})"), 4);
    EXPECT_EQ(ParseMaxTokensPerStep(R"({"max_tokens_per_step": 0})"), 0);
    EXPECT_EQ(ParseMaxTokensPerStep(R"({"max_tokens_per_step": -3})"), -3);
    EXPECT_EQ(ParseMaxTokensPerStep(R"({"max_tokens_per_step": 4.9})"), 4);
    EXPECT_EQ(ParseMaxTokensPerStep(R"({"max_tokens_per_step": -4.9})"), -4);
    EXPECT_EQ(ParseMaxTokensPerStep(R"({"max_tokens_per_step": true})"), 1);
}

TEST(ModelConfig, HugeNumbersAreClampedInsteadOfOverflowing) {
    EXPECT_EQ(ParseMaxTokensPerStep(R"({"max_tokens_per_step": 1e30})"), 2147483647);
    EXPECT_EQ(ParseMaxTokensPerStep(R"({"max_tokens_per_step": 18446744073709551615})"),
              2147483647);
    EXPECT_EQ(ParseMaxTokensPerStep(R"({"max_tokens_per_step": -1e30})"), -2147483647 - 1);
}

TEST(ModelConfig, WrongTypesAndBadJsonGiveTheLibrarysMessage) {
    EXPECT_EQ(ErrorOf("[]"), "cannot use value() with array");
    EXPECT_EQ(ErrorOf("7"), "cannot use value() with number");
    EXPECT_EQ(ErrorOf(R"({"max_tokens_per_step": "4"})"), "type must be number, but is string");
    EXPECT_EQ(ErrorOf(R"({"max_tokens_per_step": null})"), "type must be number, but is null");
    EXPECT_NE(ErrorOf("{").find("parse error"), std::string::npos);
    EXPECT_NE(ErrorOf("").find("parse error"), std::string::npos);
}

}  // namespace
}  // namespace orvello
