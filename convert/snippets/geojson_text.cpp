// GeoJSON (RFC 7946): a Point, a Feature whose geometry is a Point, or a
// FeatureCollection of one such Feature. Coordinates are longitude first.
// Read with nlohmann-json, never by hand.
#include "convert/links/link_text.h"
#include "convert/snippets/snippet_text.h"

#include <nlohmann/json.hpp>

namespace quillet::text {

namespace {

using Json = nlohmann::json;

std::string_view TypeOf(const Json& value) {
    if (!value.is_object()) return {};
    const auto type = value.find("type");
    return type != value.end() && type->is_string() ? std::string_view(type->get_ref<const std::string&>())
                                                    : std::string_view();
}

// An old (2008) GeoJSON may name its reference system; only WGS 84's names pass.
std::optional<std::string> ForeignCrs(const Json& document) {
    const auto crs = document.find("crs");
    if (crs == document.end() || crs->is_null()) return std::nullopt;
    if (crs->is_object()) {
        const auto properties = crs->find("properties");
        if (properties != crs->end() && properties->is_object()) {
            const auto name = properties->find("name");
            if (name != properties->end() && name->is_string()) {
                const std::string& text = name->get_ref<const std::string&>();
                if (text.find("CRS84") != std::string::npos || text.ends_with(":4326")) return std::nullopt;
                return text.substr(0, 40);
            }
        }
    }
    return std::string("an unnamed one");
}

}  // namespace

std::optional<PositionReading> ReadGeoJson(std::string_view text) {
    const Json document = Json::parse(text.begin(), text.end(), nullptr, false);
    if (document.is_discarded()) return Refusal("invalid JSON");
    if (!document.is_object()) return Refusal("JSON that is no GeoJSON Point");
    if (std::optional<std::string> crs = ForeignCrs(document)) return Refusal("crs " + *crs + " is not WGS 84");
    const Json* geometry = &document;
    if (TypeOf(*geometry) == "FeatureCollection") {
        const auto features = geometry->find("features");
        if (features == geometry->end() || !features->is_array() || features->empty())
            return Refusal("a FeatureCollection without a Feature holds no position");
        if (features->size() > 1) return Refusal(MoreThanOnePlace("a FeatureCollection"));
        geometry = &features->front();
    }
    if (TypeOf(*geometry) == "Feature") {
        const auto inner = geometry->find("geometry");
        if (inner == geometry->end() || inner->is_null()) return Refusal("a Feature without a geometry holds no position");
        geometry = &*inner;
    }
    const std::string_view type = TypeOf(*geometry);
    if (type == "LineString" || type == "Polygon" || type == "MultiPoint" || type == "MultiLineString" ||
        type == "MultiPolygon" || type == "GeometryCollection")
        return Refusal(MoreThanOnePlace("a " + std::string(type)));
    if (type != "Point") return Refusal("JSON that is no GeoJSON Point");
    const auto coordinates = geometry->find("coordinates");
    if (coordinates == geometry->end() || !coordinates->is_array() || coordinates->size() < 2 ||
        coordinates->size() > 3 || !(*coordinates)[0].is_number() || !(*coordinates)[1].is_number() ||
        (coordinates->size() == 3 && !(*coordinates)[2].is_number()))
        return Refusal("a Point without two numbers");
    return Place((*coordinates)[1].get<double>(), (*coordinates)[0].get<double>(), Code::GeoJson);
}

}  // namespace quillet::text
