#pragma once

#include <cmath>
#include <optional>
#include <vector>

// Number texts as users type them into the dialog's fields and files hold them, with what each
// reader makes of them: a dialog field reads the whole text less its blanks (as strtod would),
// and the file scanners read the longest number at the start (as fscanf would). Shared by the
// text tests and the dialog's field tests.
struct NumberText {
    const char* text;
    std::optional<double> real;  // a real field: the value, or none when refused
    std::optional<int> integer;  // an integer field
    std::optional<int> scanned;  // scanInt: the integer at the start, within 32 bits
};

inline const std::vector<NumberText>& numberTexts() {
    static const std::vector<NumberText> texts = {
        {"42", 42.0, 42, 42},
        {" \t-17 \r\n", -17.0, -17, -17},
        {"+8", 8.0, 8, 8},
        {"2147483647", 2147483647.0, 2147483647, 2147483647},
        {"-2147483648", -2147483648.0, -2147483647 - 1, -2147483647 - 1},
        {"2147483648", 2147483648.0, std::nullopt, std::nullopt},
        {"-2147483649", -2147483649.0, std::nullopt, std::nullopt},
        {"99999999999999999999", 1e20, std::nullopt, std::nullopt},
        {"0.25", 0.25, std::nullopt, 0},
        {"-1e-3", -1e-3, std::nullopt, -1},
        {"3.5e-4", 3.5e-4, std::nullopt, 3},
        {"+.5", 0.5, std::nullopt, std::nullopt},
        {".5", 0.5, std::nullopt, std::nullopt},
        {"5.", 5.0, std::nullopt, 5},
        {"0x1p3", 8.0, std::nullopt, 0},
        {"0x1p-2", 0.25, std::nullopt, 0},
        {"1e3", 1000.0, std::nullopt, 1},
        {"", std::nullopt, std::nullopt, std::nullopt},
        {"   ", std::nullopt, std::nullopt, std::nullopt},
        {"abc", std::nullopt, std::nullopt, std::nullopt},
        {"12abc", std::nullopt, std::nullopt, 12},
        {"1 2", std::nullopt, std::nullopt, 1},
        {"1,5", std::nullopt, std::nullopt, 1},
        {"0,5", std::nullopt, std::nullopt, 0},
        {"1.2.3", std::nullopt, std::nullopt, 1},
        {"1.5x", std::nullopt, std::nullopt, 1},
        {"1e", std::nullopt, std::nullopt, 1},
        {"--1", std::nullopt, std::nullopt, std::nullopt},
        {"- 5", std::nullopt, std::nullopt, std::nullopt},
        {"+", std::nullopt, std::nullopt, std::nullopt},
        {".", std::nullopt, std::nullopt, std::nullopt},
        {"nan(", std::nullopt, std::nullopt, std::nullopt},
        {"0x", std::nullopt, std::nullopt, 0},
        {"0x10", 16.0, std::nullopt, 0},
        {"1e400", HUGE_VAL, std::nullopt, 1},
        {"-inf", -HUGE_VAL, std::nullopt, std::nullopt},
        {"nan", NAN, std::nullopt, std::nullopt},
    };
    return texts;
}
