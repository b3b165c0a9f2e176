// The templates from which the staged event queue of an e-level draws its time points: stages with
// weighted time-point templates, and named order templates whose weighted order lists add order
// names to a point's parameters. Readers of the "events_queue" section's "templates" and "stages".
#pragma once
#include "engine/boards/TimePoint.h"
#include "platform/XmlDocument.h"

#include <cstdint>
#include <functional>
#include <list>
#include <map>
#include <memory>
#include <string>

// (min, max) -> a number from min to max, both ends included; RandomFloat in the game, a scripted
// sequence in tests.
using RandomSource = std::function<float(float min, float max)>;

struct OrderEntry {
    float prob = 0.0f;
    std::string name;

    // False when "name" is absent.
    bool Load(const Platform::XmlNode& node);
};

struct OrderList {
    float prob = 0.0f;
    float total = 0.0f; // sum of the orders' prob
    std::list<OrderEntry> orders;

    // False when an "order" lacks its "name".
    bool Load(const Platform::XmlNode& node);
    // Appends the name of one order drawn by weight (r from 0 to total: the first order whose prob
    // exceeds what is left of r); nothing when none does.
    void PickOrder(TimePoint& point, const RandomSource& random) const;
};

struct OrderChoice {
    float prob = 0.0f;
    float total = 0.0f; // sum of the lists' prob
    std::list<OrderList> lists;

    bool Load(const Platform::XmlNode& node);
    // Draws a budget from 0 to total and, while lists remain and the budget is above 0, picks an
    // order from the next list and takes its prob off the budget.
    void AddOrders(TimePoint& point, const RandomSource& random) const;
};

struct OrderTemplate {
    std::string name;
    OrderChoice stand;
    OrderChoice sit; // all zero when the element has no "sit"

    // False for an element without "name" or without "stand", or with an order without "name".
    bool Load(const Platform::XmlNode& node);
    // Appends the stand orders, then, when a draw from 0 to stand.prob + sit.prob exceeds
    // stand.prob, the sit orders as well.
    void AddOrders(TimePoint& point, const RandomSource& random) const;
};

using OrderTemplateMap = std::map<std::string, std::unique_ptr<OrderTemplate>>;

struct TimePointTemplate {
    float prob = 0.0f;
    std::string type;
    std::string event;
    float timeMin = 0.0f;
    float timeMax = 0.0f;
    const OrderTemplate* orderTemplate = nullptr; // owned by the queue's template map; never null once loaded

    // False when "event", "type" or "order_template" is absent, or no order template has that name.
    bool Load(const Platform::XmlNode& node, const OrderTemplateMap& templates);
    // event, type, time = a delay from timeMin to timeMax, then the order template's orders.
    void Apply(TimePoint& point, const RandomSource& random) const;
};

struct EventStage {
    int32_t points = 0; // the money target that ends the stage
    float total = 0.0f; // sum of the templates' prob
    std::list<TimePointTemplate> templates;

    // False when "points" is absent or a template is malformed.
    bool Load(const Platform::XmlNode& node, const OrderTemplateMap& templates);
    // Empties point, then applies the first template whose prob exceeds what is left of a draw
    // from 0 to total; none taken leaves the point empty (due at once).
    void PickTemplate(TimePoint& point, const RandomSource& random) const;
};
