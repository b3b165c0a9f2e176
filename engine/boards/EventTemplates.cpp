// Reading and drawing from the staged event queue's templates.
#include "engine/boards/EventTemplates.h"

#include "engine/core/XmlAccess.h"
#include "engine/core/XmlAttributes.h"

namespace {

// Text attributes of level files are read through 128-byte buffers.
constexpr size_t kTextBuffer = 128;

bool ReadText(const Platform::XmlNode& node, std::string_view name, std::string& out)
{
    return XmlGetAttributeString(node, name, out, kTextBuffer);
}

} // namespace

bool OrderEntry::Load(const Platform::XmlNode& node)
{
    const bool named = ReadText(node, "name", name);
    XmlGetAttributeFloat(node, "prob", prob);
    return named;
}

bool OrderList::Load(const Platform::XmlNode& node)
{
    XmlGetAttributeFloat(node, "prob", prob);
    bool ok = true;
    XmlForEachNode(node, "order", [&](const Platform::XmlNode& element) {
        OrderEntry entry;
        ok = entry.Load(element) && ok;
        total += entry.prob;
        orders.push_back(std::move(entry));
        return true;
    });
    return ok;
}

void OrderList::PickOrder(TimePoint& point, const RandomSource& random) const
{
    float r = random(0.0f, total);
    for (const OrderEntry& entry : orders) {
        if (entry.prob > r) {
            point.params.push_back(entry.name);
            return;
        }
        r -= entry.prob;
    }
}

bool OrderChoice::Load(const Platform::XmlNode& node)
{
    XmlGetAttributeFloat(node, "prob", prob);
    bool ok = true;
    XmlForEachNode(node, "order_list", [&](const Platform::XmlNode& element) {
        OrderList list;
        ok = list.Load(element) && ok;
        total += list.prob;
        lists.push_back(std::move(list));
        return true;
    });
    return ok;
}

void OrderChoice::AddOrders(TimePoint& point, const RandomSource& random) const
{
    float budget = random(0.0f, total);
    for (auto list = lists.begin(); list != lists.end() && budget > 0.0f; ++list) {
        list->PickOrder(point, random);
        budget -= list->prob;
    }
}

bool OrderTemplate::Load(const Platform::XmlNode& node)
{
    const bool named = ReadText(node, "name", name);
    const Platform::XmlNode standNode = node.SelectSingleNode("stand");
    if (!named || !standNode)
        return false;
    bool ok = stand.Load(standNode);
    if (const Platform::XmlNode sitNode = node.SelectSingleNode("sit"))
        ok = sit.Load(sitNode) && ok;
    return ok;
}

void OrderTemplate::AddOrders(TimePoint& point, const RandomSource& random) const
{
    // The choice of the sit part is drawn before any stand order.
    const float r = random(0.0f, stand.prob + sit.prob);
    const bool withSit = stand.prob < r;
    stand.AddOrders(point, random);
    if (withSit)
        sit.AddOrders(point, random);
}

bool TimePointTemplate::Load(const Platform::XmlNode& node, const OrderTemplateMap& templates)
{
    bool ok = ReadText(node, "event", event);
    ok = ReadText(node, "type", type) && ok;
    XmlGetAttributeFloat(node, "prob", prob);
    XmlGetAttributeFloat(node, "time_min", timeMin);
    XmlGetAttributeFloat(node, "time_max", timeMax);
    std::string templateName;
    if (ReadText(node, "order_template", templateName)) {
        const auto found = templates.find(templateName);
        if (found != templates.end())
            orderTemplate = found->second.get();
    }
    return ok && orderTemplate != nullptr;
}

void TimePointTemplate::Apply(TimePoint& point, const RandomSource& random) const
{
    point.event = event;
    point.type = type;
    point.time = random(timeMin, timeMax);
    if (orderTemplate)
        orderTemplate->AddOrders(point, random);
}

bool EventStage::Load(const Platform::XmlNode& node, const OrderTemplateMap& orderTemplates)
{
    bool ok = XmlGetAttributeInt(node, "points", points);
    total = 0.0f;
    XmlForEachNode(node, "time_point_template", [&](const Platform::XmlNode& element) {
        TimePointTemplate entry;
        ok = entry.Load(element, orderTemplates) && ok;
        total += entry.prob;
        templates.push_back(std::move(entry));
        return true;
    });
    return ok;
}

void EventStage::PickTemplate(TimePoint& point, const RandomSource& random) const
{
    float r = random(0.0f, total);
    point.Reset();
    for (const TimePointTemplate& entry : templates) {
        if (entry.prob > r) {
            entry.Apply(point, random);
            return;
        }
        r -= entry.prob;
    }
}
