// Stand-in until the number text lands.
#include <charconv>
#include "number_text.hpp"
namespace ostrel {
void append_plain_number(std::string& out, double x) {
  char b[400]; auto r = std::to_chars(b, b + 400, x, std::chars_format::fixed); out.append(b, r.ptr);
}
void append_message_float(std::string& out, double x) {
  size_t n = out.size(); append_plain_number(out, x);
  if (out.find('.', n) == std::string::npos) out += ".0";
}
}  // namespace ostrel
