#pragma once
// Key order of saved JSON: parsed into an order-preserving document (a plain
// nlohmann::json would re-sort the keys and hide a wrong order).

#include <string>

#include <nlohmann/json.hpp>

// Every object of the document lists its keys in ascending byte order.
inline bool KeysSortedEverywhere(const nlohmann::ordered_json& j)
{
    if (j.is_object()) {
        std::string previous;
        bool first = true;
        for (auto it = j.begin(); it != j.end(); ++it) {
            if ((!first && !(previous < it.key())) || !KeysSortedEverywhere(it.value())) {
                return false;
            }
            previous = it.key();
            first = false;
        }
    } else if (j.is_array()) {
        for (const auto& element : j) {
            if (!KeysSortedEverywhere(element)) {
                return false;
            }
        }
    }
    return true;
}
