// The only file that includes proj.h.
#include "geodesy/proj_systems.h"

#include <dlfcn.h>
#include <proj.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <memory>
#include <utility>

namespace quillet::proj {

namespace {

// PROJ is opened on first use, never linked: its library brings curl, TLS,
// SQLite and TIFF, which would otherwise be loaded at every start of the
// window and the converter, to no use unless a grid or a system is asked for.
#define QUILLET_PROJ_CALLS(X) \
    X(proj_context_create) \
    X(proj_context_destroy) \
    X(proj_context_errno) \
    X(proj_context_errno_string) \
    X(proj_context_set_enable_network) \
    X(proj_coord) \
    X(proj_coordoperation_get_accuracy) \
    X(proj_coordoperation_get_grid_used) \
    X(proj_coordoperation_get_grid_used_count) \
    X(proj_coordoperation_has_ballpark_transformation) \
    X(proj_coordoperation_is_instantiable) \
    X(proj_create) \
    X(proj_create_crs_to_crs_from_pj) \
    X(proj_create_operation_factory_context) \
    X(proj_create_operations) \
    X(proj_destroy) \
    X(proj_errno) \
    X(proj_errno_reset) \
    X(proj_errno_string) \
    X(proj_get_area_of_use) \
    X(proj_get_name) \
    X(proj_get_type) \
    X(proj_is_crs) \
    X(proj_is_equivalent_to_with_ctx) \
    X(proj_list_destroy) \
    X(proj_list_get) \
    X(proj_list_get_count) \
    X(proj_log_func) \
    X(proj_log_level) \
    X(proj_normalize_for_visualization) \
    X(proj_operation_factory_context_destroy) \
    X(proj_operation_factory_context_set_allow_ballpark_transformations) \
    X(proj_operation_factory_context_set_grid_availability_use) \
    X(proj_operation_factory_context_set_spatial_criterion) \
    X(proj_trans)

struct Library {
#define QUILLET_PROJ_MEMBER(name) decltype(&::name) name = nullptr;
    QUILLET_PROJ_CALLS(QUILLET_PROJ_MEMBER)
#undef QUILLET_PROJ_MEMBER
    bool loaded = false;
};

const Library& Proj() {
    static const Library library = [] {
        Library opened;
        void* handle = ::dlopen(QUILLET_PROJ_LIBRARY, RTLD_NOW | RTLD_LOCAL);
        if (!handle) return opened;
        bool all = true;
#define QUILLET_PROJ_SYMBOL(name) \
    all = all && (opened.name = reinterpret_cast<decltype(&::name)>(::dlsym(handle, #name))) != nullptr;
        QUILLET_PROJ_CALLS(QUILLET_PROJ_SYMBOL)
#undef QUILLET_PROJ_SYMBOL
        opened.loaded = all;
        return opened;
    }();
    return library;
}

constexpr std::string_view kNoProj = "PROJ is not installed (" QUILLET_PROJ_LIBRARY ")";

constexpr std::string_view kWgs84 = "EPSG:4326";

struct PjDeleter {
    void operator()(PJ* object) const { Proj().proj_destroy(object); }
};
using PjPointer = std::unique_ptr<PJ, PjDeleter>;

struct System {
    PjPointer crs;
    SystemInfo info;
    std::string why;  // when PROJ knows no such system
};

struct Transformation {
    PjPointer operation;  // easting/longitude first on both sides
    std::string why;
    Failure failure = Failure::None;
    // Where a datum shift is known; PROJ would stretch the nearest one
    // beyond its area. Empty when a ballpark guess is allowed.
    std::vector<Area> shifts;
    std::string noShift;
    std::vector<std::string> betterGrids;  // missing, and would do better
};

// The transformations PROJ considers between two systems, best first, as
// it chooses among them when it converts.
PJ_OBJ_LIST* Candidates(PJ_CONTEXT* context, const PJ* source, const PJ* target, bool allowBallpark,
                        PROJ_GRID_AVAILABILITY_USE grids) {
    PJ_OPERATION_FACTORY_CONTEXT* factory = Proj().proj_create_operation_factory_context(context, nullptr);
    if (!factory) return nullptr;
    Proj().proj_operation_factory_context_set_allow_ballpark_transformations(context, factory, allowBallpark);
    Proj().proj_operation_factory_context_set_spatial_criterion(context, factory, PROJ_SPATIAL_CRITERION_PARTIAL_INTERSECTION);
    Proj().proj_operation_factory_context_set_grid_availability_use(context, factory, grids);
    PJ_OBJ_LIST* list = Proj().proj_create_operations(context, source, target, factory);
    Proj().proj_operation_factory_context_destroy(factory);
    return list;
}

std::optional<Area> AreaOf(PJ_CONTEXT* context, const PJ* object) {
    double west, south, east, north;
    const char* name = nullptr;
    if (!Proj().proj_get_area_of_use(context, object, &west, &south, &east, &north, &name) || west <= -1000)
        return std::nullopt;
    return Area{west, south, east, north, name ? name : ""};
}

// The grid files a transformation needs and this machine lacks.
void MissingGrids(PJ_CONTEXT* context, const PJ* operation, std::vector<std::string>& names) {
    const int grids = Proj().proj_coordoperation_get_grid_used_count(context, operation);
    for (int g = 0; g < grids; ++g) {
        const char* name = nullptr;
        int available = 1;
        if (Proj().proj_coordoperation_get_grid_used(context, operation, g, &name, nullptr, nullptr, nullptr, nullptr,
                                                     nullptr, &available) &&
            !available && name && std::find(names.begin(), names.end(), name) == names.end())
            names.emplace_back(name);
    }
}

// One PROJ context per thread, with the systems and transformations made in
// it: PROJ's objects belong to the context that made them.
class State {
public:
    State() : context_(Proj().loaded ? Proj().proj_context_create() : nullptr) {
        if (!context_) return;
        Proj().proj_log_func(context_, this, &State::Log);
        Proj().proj_log_level(context_, PJ_LOG_ERROR);
        Proj().proj_context_set_enable_network(context_, 0);  // no grid is ever fetched
    }
    ~State() {
        transformations_.clear();
        systems_.clear();
        if (context_) Proj().proj_context_destroy(context_);
    }
    State(const State&) = delete;
    State& operator=(const State&) = delete;

    const System& SystemOf(std::string_view definition) {
        if (auto found = systems_.find(definition); found != systems_.end()) return found->second;
        System& system = systems_[std::string(definition)];
        if (!context_) {
            system.why = kNoProj;
            return system;
        }
        lastLog_.clear();
        const std::string text(definition);
        PjPointer crs(text.find('\0') == std::string::npos ? Proj().proj_create(context_, text.c_str()) : nullptr);
        const PJ_TYPE type = crs ? Proj().proj_get_type(crs.get()) : PJ_TYPE_UNKNOWN;
        const bool geographic = type == PJ_TYPE_GEOGRAPHIC_2D_CRS || type == PJ_TYPE_GEOGRAPHIC_3D_CRS;
        if (!crs || !Proj().proj_is_crs(crs.get())) {
            system.why = LastError("not a coordinate system");
            return system;
        }
        if (!geographic && type != PJ_TYPE_PROJECTED_CRS) {
            system.why = "neither latitude and longitude nor easting and northing";
            return system;
        }
        system.info.geographic = geographic;
        if (const char* name = Proj().proj_get_name(crs.get())) system.info.name = name;
        if (std::optional<Area> area = AreaOf(context_, crs.get())) system.info.area = std::move(*area);
        system.crs = std::move(crs);
        return system;
    }

    Transformation& TransformationOf(std::string_view from, std::string_view to, bool allowBallpark) {
        key_.assign(from);
        key_ += '\n';
        key_ += to;
        key_ += allowBallpark ? "\n+" : "\n-";
        if (auto found = transformations_.find(key_); found != transformations_.end()) return found->second;
        Transformation& made = transformations_[key_];
        const System& source = SystemOf(from);
        const System& target = SystemOf(to);
        for (const System* system : {&source, &target})
            if (!system->crs) {
                made.failure = Failure::UnknownSystem;
                made.why = system->why;
                return made;
            }
        lastLog_.clear();
        const char* const options[] = {allowBallpark ? "ALLOW_BALLPARK=YES" : "ALLOW_BALLPARK=NO", nullptr};
        PjPointer operation(
            Proj().proj_create_crs_to_crs_from_pj(context_, source.crs.get(), target.crs.get(), nullptr, options));
        if (operation) operation.reset(Proj().proj_normalize_for_visualization(context_, operation.get()));
        if (operation) {
            // One list for two answers: where the datum shifts PROJ can use
            // here hold, and which missing grid files would do better than
            // the best of them (listed first).
            PJ_OBJ_LIST* list = Candidates(context_, source.crs.get(), target.crs.get(), false,
                                           PROJ_GRID_AVAILABILITY_USED_FOR_SORTING);
            const int count = list ? Proj().proj_list_get_count(list) : 0;
            std::optional<double> best;
            std::vector<std::pair<double, std::vector<std::string>>> lacking;
            bool everywhere = allowBallpark;
            for (int i = 0; i < count; ++i) {
                const PjPointer candidate(Proj().proj_list_get(context_, list, i));
                if (!candidate) continue;
                const double accuracy = Proj().proj_coordoperation_get_accuracy(context_, candidate.get());
                if (!Proj().proj_coordoperation_is_instantiable(context_, candidate.get())) {
                    if (accuracy >= 0)
                        MissingGrids(context_, candidate.get(),
                                     lacking.emplace_back(accuracy, std::vector<std::string>()).second);
                    continue;
                }
                if (!best) best = accuracy;
                if (everywhere) continue;
                std::optional<Area> area = AreaOf(context_, candidate.get());
                if (!area) {  // a shift without an area holds everywhere
                    made.shifts.clear();
                    everywhere = true;
                    continue;
                }
                made.shifts.push_back(std::move(*area));
            }
            Proj().proj_list_destroy(list);
            for (const auto& [accuracy, grids] : lacking)
                if (best && (*best < 0 || accuracy < *best))
                    for (const std::string& grid : grids)
                        if (std::find(made.betterGrids.begin(), made.betterGrids.end(), grid) == made.betterGrids.end())
                            made.betterGrids.push_back(grid);
            if (!allowBallpark)
                made.noShift = "no datum shift known here between " + source.info.name + " and " + target.info.name;
        }
        if (!operation) {
            // Between two systems with no known datum shift PROJ offers only its ballpark.
            made.failure = allowBallpark ? Failure::Failed : Failure::Ballpark;
            made.why = allowBallpark ? LastError("no transformation")
                                     : "no datum shift known between " + source.info.name + " and " +
                                           target.info.name;
            return made;
        }
        made.operation = std::move(operation);
        return made;
    }

    PJ_CONTEXT* context() const { return context_; }

    // A system for one question, kept nowhere.
    PjPointer Create(std::string_view definition) const {
        if (!context_) return nullptr;
        const std::string text(definition);
        PjPointer crs(text.find('\0') == std::string::npos ? Proj().proj_create(context_, text.c_str()) : nullptr);
        if (crs && !Proj().proj_is_crs(crs.get())) crs.reset();
        return crs;
    }

    std::string LastError(std::string_view otherwise) const {
        if (!lastLog_.empty()) return lastLog_;
        const int error = Proj().proj_context_errno(context_);
        const char* text = error ? Proj().proj_context_errno_string(context_, error) : nullptr;
        return text ? text : std::string(otherwise);
    }

private:
    static void Log(void* data, int, const char* message) {
        if (!message) return;
        std::string& log = static_cast<State*>(data)->lastLog_;
        log.assign(message, ::strnlen(message, 300));
    }

    PJ_CONTEXT* context_;
    std::string lastLog_;
    std::string key_;
    std::map<std::string, System, std::less<>> systems_;
    std::map<std::string, Transformation, std::less<>> transformations_;
};

thread_local bool started = false;

State& ThisThread() {
    thread_local State state;
    started = true;
    return state;
}

Transformed Apply(Transformation& transformation, Point point) {
    Transformed result;
    if (transformation.failure != Failure::None) {
        result.failure = transformation.failure;
        result.why = transformation.why;
        return result;
    }
    PJ* operation = transformation.operation.get();
    Proj().proj_errno_reset(operation);
    const PJ_COORD out = Proj().proj_trans(operation, PJ_FWD, Proj().proj_coord(point.x, point.y, 0, 0));
    if (!std::isfinite(out.xy.x) || !std::isfinite(out.xy.y) || out.xy.x == HUGE_VAL) {
        const int error = Proj().proj_errno(operation);
        const char* text = error ? Proj().proj_errno_string(error) : nullptr;
        result.failure = Failure::Failed;
        result.why = text ? text : "no coordinates from PROJ";
        return result;
    }
    result.point = {out.xy.x, out.xy.y};
    return result;
}

// Whether a datum shift is known at a WGS 84 position; refused otherwise.
bool Shifted(const Transformation& transformation, double latitude, double longitude, Transformed& result) {
    if (transformation.shifts.empty() || transformation.failure != Failure::None) return true;
    for (const Area& area : transformation.shifts)
        if (area.Holds(latitude, longitude)) return true;
    result = {{}, Failure::Ballpark, transformation.noShift};
    return false;
}

Transformed Outside(const SystemInfo& info) {
    return {{}, Failure::OutsideArea, "outside the area of " + info.name};
}

Transformed Unknown(const System& system) { return {{}, Failure::UnknownSystem, system.why}; }

}  // namespace

bool Area::Holds(double latitude, double longitude) const {
    if (!(latitude >= south && latitude <= north)) return false;
    // An area across 180° has its west edge east of its east edge.
    return west <= east ? longitude >= west && longitude <= east : longitude >= west || longitude <= east;
}

std::optional<SystemInfo> DescribeSystem(std::string_view definition, std::string* why) {
    try {
        const System& system = ThisThread().SystemOf(definition);
        if (!system.crs) {
            if (why) *why = system.why;
            return std::nullopt;
        }
        return system.info;
    } catch (...) {
        if (why) *why = "no memory left";
        return std::nullopt;
    }
}

Transformed Transform(std::string_view from, std::string_view to, Point point, bool allowBallpark) {
    try {
        return Apply(ThisThread().TransformationOf(from, to, allowBallpark), point);
    } catch (...) {
        return {{}, Failure::Failed, "no memory left"};
    }
}

Transformed FromWgs84(std::string_view system, double latitude, double longitude, bool allowBallpark) {
    try {
        State& state = ThisThread();
        const System& target = state.SystemOf(system);
        if (!target.crs) return Unknown(target);
        if (!target.info.area.Holds(latitude, longitude)) return Outside(target.info);
        Transformation& transformation = state.TransformationOf(kWgs84, system, allowBallpark);
        Transformed result;
        if (!Shifted(transformation, latitude, longitude, result)) return result;
        return Apply(transformation, {longitude, latitude});
    } catch (...) {
        return {{}, Failure::Failed, "no memory left"};
    }
}

Transformed ToWgs84(std::string_view system, Point point, bool allowBallpark, bool extrapolate) {
    try {
        State& state = ThisThread();
        const System& source = state.SystemOf(system);
        if (!source.crs) return Unknown(source);
        Transformation& transformation = state.TransformationOf(system, kWgs84, allowBallpark);
        Transformed result = Apply(transformation, point);
        if (result.failure != Failure::None) return result;
        Transformed refused = result;
        const bool inside = source.info.area.Holds(result.point.y, result.point.x);
        if (inside && Shifted(transformation, result.point.y, result.point.x, refused)) return result;
        if (extrapolate) {
            result.extrapolated = true;
            return result;
        }
        return inside ? refused : Outside(source.info);
    } catch (...) {
        return {{}, Failure::Failed, "no memory left"};
    }
}

Transformed Reproject(std::string_view from, std::string_view to, Point point, double latitude, double longitude,
                      bool allowBallpark) {
    try {
        State& state = ThisThread();
        const System& target = state.SystemOf(to);
        if (!target.crs) return Unknown(target);
        if (!target.info.area.Holds(latitude, longitude)) return Outside(target.info);
        Transformation& transformation = state.TransformationOf(from, to, allowBallpark);
        Transformed result;
        if (!Shifted(transformation, latitude, longitude, result)) return result;
        return Apply(transformation, point);
    } catch (...) {
        return {{}, Failure::Failed, "no memory left"};
    }
}

bool SameSystem(std::string_view first, std::string_view second) {
    try {
        State& state = ThisThread();
        // Made for the question and dropped: kept systems are looked up at every line.
        const PjPointer one = state.Create(first), other = state.Create(second);
        return one && other &&
               Proj().proj_is_equivalent_to_with_ctx(state.context(), one.get(), other.get(), PJ_COMP_EQUIVALENT);
    } catch (...) {
        return false;
    }
}

std::vector<std::string> BetterGrids(std::string_view from, std::string_view to) {
    try {
        return ThisThread().TransformationOf(from, to, false).betterGrids;
    } catch (...) {
        return {};
    }
}

TransformationInfo DescribeTransformation(std::string_view from, std::string_view to, bool allowBallpark) {
    TransformationInfo info;
    PJ_OBJ_LIST* list = nullptr;
    try {
        State& state = ThisThread();
        PJ_CONTEXT* context = state.context();
        const System& source = state.SystemOf(from);
        const System& target = state.SystemOf(to);
        for (const System* system : {&source, &target})
            if (!system->crs) {
                info.why = system->why;
                return info;
            }
        // The transformations whose grids are missing too, to name those grids.
        list = Candidates(context, source.crs.get(), target.crs.get(), allowBallpark,
                          PROJ_GRID_AVAILABILITY_USED_FOR_SORTING);
        const int count = list ? Proj().proj_list_get_count(list) : 0;
        for (int i = 0; i < count; ++i) {
            PjPointer operation(Proj().proj_list_get(context, list, i));
            if (!operation) continue;
            if (!Proj().proj_coordoperation_is_instantiable(context, operation.get())) {
                MissingGrids(context, operation.get(), info.missingGrids);
                continue;
            }
            Operation entry;
            if (const char* name = Proj().proj_get_name(operation.get())) entry.name = name;
            entry.accuracy = Proj().proj_coordoperation_get_accuracy(context, operation.get());
            entry.ballpark = Proj().proj_coordoperation_has_ballpark_transformation(context, operation.get());
            if (const std::optional<Area> area = AreaOf(context, operation.get())) entry.area = area->name;
            info.operations.push_back(std::move(entry));
        }
        if (info.operations.empty())
            info.why = allowBallpark ? "no transformation"
                                     : "no datum shift known between " + source.info.name + " and " +
                                           target.info.name;
    } catch (...) {
        info.why = "no memory left";
    }
    if (list) Proj().proj_list_destroy(list);
    return info;
}

bool Started() { return started; }

}  // namespace quillet::proj
