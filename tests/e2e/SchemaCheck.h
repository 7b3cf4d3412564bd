#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

// Checks a document against the part of JSON Schema that the report schema
// uses: type (one or a list), enum, minimum, required, properties,
// additionalProperties false, items. Returns one line per violation.
std::vector<std::string> SchemaViolations(const nlohmann::json& schema, const nlohmann::json& document,
                                          const std::string& where = "$");
