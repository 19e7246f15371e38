#include "json/tagged_object.hpp"

#include <string>
#include <vector>

#include "json/value.hpp"

namespace ostrel::json {

namespace {

bool read_tag(Reader& r, const Value& v, std::span<const TaggedVariant> variants, size_t& out) {
  if (v.type != Value::Type::String) {
    return r.fail("invalid type: " + v.found() + ", expected variant identifier");
  }
  for (size_t i = 0; i < variants.size(); ++i) {
    if (variants[i].tag == v.string) {
      out = i;
      return true;
    }
  }
  std::vector<std::string_view> tags;
  for (const auto& variant : variants) tags.push_back(variant.tag);
  return r.fail(unknown_variant(v.string, tags));
}

// Field 0 is the number, field 1 (when there is one) the count.
bool read_field(Reader& r, const Value& v, size_t field, TaggedFields& out) {
  const bool is_count = field == 1;
  const char* expected = is_count ? "u32" : "f64";
  if (v.type != Value::Type::Number) {
    return r.fail("invalid type: " + v.found() + ", expected " + expected);
  }
  if (!is_count) {
    out.value = v.number.as_double();
    return true;
  }
  if (std::string refusal = u32_refusal(v.number); !refusal.empty()) return r.fail(refusal);
  out.count = static_cast<uint32_t>(v.number.magnitude);
  return true;
}

bool from_object(Reader& r, const Value& v, std::span<const TaggedVariant> variants,
                 TaggedFields& out) {
  const Value* tag = nullptr;
  for (const auto& [key, member] : v.members) {
    if (key != "type") continue;
    if (tag) return r.fail("duplicate field `type`");
    tag = &member;
  }
  if (!tag) return r.fail("missing field `type`");
  if (!read_tag(r, *tag, variants, out.variant)) return false;
  const TaggedVariant& variant = variants[out.variant];
  for (size_t f = 0; f < variant.fields.size(); ++f) {
    const Value* found = nullptr;
    for (const auto& [key, member] : v.members) {
      if (key != variant.fields[f]) continue;
      if (found) return r.fail("duplicate field `" + std::string(key) + "`");
      found = &member;
    }
    if (!found) return r.fail("missing field `" + std::string(variant.fields[f]) + "`");
    if (!read_field(r, *found, f, out)) return false;
  }
  return true;
}

bool from_array(Reader& r, const Value& v, std::span<const TaggedVariant> variants,
                TaggedFields& out) {
  if (v.items.empty()) return r.fail("missing field `type`");
  if (!read_tag(r, v.items[0], variants, out.variant)) return false;
  const TaggedVariant& variant = variants[out.variant];
  const size_t given = v.items.size() - 1;
  if (given != variant.fields.size()) {
    return r.fail("invalid length " + std::to_string(given) + ", expected " +
                  std::string(variant.length_what));
  }
  for (size_t f = 0; f < given; ++f) {
    if (!read_field(r, v.items[f + 1], f, out)) return false;
  }
  return true;
}

}  // namespace

bool read_tagged_object(Reader& r, std::string_view what, std::span<const TaggedVariant> variants,
                        TaggedFields& out) {
  char c;
  if (!r.peek(c)) return r.fail_after_peek("EOF while parsing a value");
  if (c != '{' && c != '[') return r.invalid_type(what);
  Value v;
  if (!read_value(r, &v)) return false;
  return c == '{' ? from_object(r, v, variants, out) : from_array(r, v, variants, out);
}

}  // namespace ostrel::json
