#pragma once
#include <cstdint>
#include <string>
namespace ostrel {
void append_plain_number(std::string& out, double x);
void append_message_float(std::string& out, double x);
}  // namespace ostrel
