#pragma once
// Message items and events between their 8224-byte records and the JSON form. Internal to
// the text form.

#include <string>
#include <vector>

#include "manager/textform/json_fields.h"
#include "shared/item_record.h"

namespace textform {

// What an import accepts but the operator should hear about ("shows blank on the sign").
using Warnings = std::vector<std::string>;

// The record as JSON: its readable fields and, for bytes they do not reproduce, raw runs
// over the record; a record with no readable form (an unknown kind, or content no editor
// would store) is raw runs over zeros alone. Importing the result gives the record back.
Json ItemToJson(const item::ItemRecord& record);
Json EventToJson(const item::ItemRecord& record);

// The record a JSON item or event stands for, every readable field checked with the
// editors' rules, raw runs laid over last. Throws Fault at the first fault.
item::ItemRecord ItemFromJson(const Json& value, const std::string& place, Warnings& warnings);
item::ItemRecord EventFromJson(const Json& value, const std::string& place, Warnings& warnings);

}  // namespace textform
