#include "tests/e2e/SchemaCheck.h"

#include <algorithm>

using nlohmann::json;

namespace {

bool HasType(const json& value, const std::string& type) {
  if (type == "object") return value.is_object();
  if (type == "array") return value.is_array();
  if (type == "string") return value.is_string();
  if (type == "integer") return value.is_number_integer();
  if (type == "number") return value.is_number();
  if (type == "boolean") return value.is_boolean();
  if (type == "null") return value.is_null();
  return false;
}

bool TypeMatches(const json& schema, const json& value) {
  if (!schema.contains("type")) return true;
  const json& type = schema["type"];
  if (type.is_string()) return HasType(value, type);
  return std::any_of(type.begin(), type.end(), [&](const json& t) { return HasType(value, t); });
}

void CheckObject(const json& schema, const json& value, const std::string& where,
                 std::vector<std::string>& out) {
  for (const json& key : schema.value("required", json::array())) {
    if (!value.contains(key.get<std::string>())) out.push_back(where + ": missing " + key.get<std::string>());
  }
  const json properties = schema.value("properties", json::object());
  for (const auto& [key, item] : value.items()) {
    if (properties.contains(key)) {
      const std::vector<std::string> inner = SchemaViolations(properties[key], item, where + "." + key);
      out.insert(out.end(), inner.begin(), inner.end());
    } else if (schema.value("additionalProperties", true) == false) {
      out.push_back(where + ": unexpected key " + key);
    }
  }
}

}  // namespace

std::vector<std::string> SchemaViolations(const json& schema, const json& document,
                                          const std::string& where) {
  std::vector<std::string> out;
  if (!TypeMatches(schema, document)) return {where + ": wrong type " + document.type_name()};
  if (schema.contains("enum") &&
      std::find(schema["enum"].begin(), schema["enum"].end(), document) == schema["enum"].end())
    out.push_back(where + ": " + document.dump() + " is not one of " + schema["enum"].dump());
  if (schema.contains("minimum") && document.is_number() &&
      document.get<double>() < schema["minimum"].get<double>())
    out.push_back(where + ": below the minimum");
  if (document.is_object()) CheckObject(schema, document, where, out);
  if (document.is_array() && schema.contains("items")) {
    for (std::size_t i = 0; i < document.size(); ++i) {
      const std::vector<std::string> inner =
          SchemaViolations(schema["items"], document[i], where + "[" + std::to_string(i) + "]");
      out.insert(out.end(), inner.begin(), inner.end());
    }
  }
  return out;
}
