#include "engine/boards/GameBoardMouseQueue.h"

namespace {
template <class Record> std::optional<Record> PopFront(std::mutex& lock, std::deque<Record>& queue)
{
    std::lock_guard<std::mutex> hold(lock);
    if (queue.empty())
        return std::nullopt;
    Record r = queue.front();
    queue.pop_front();
    return r;
}
} // namespace

void VTGameBoardMouseQueue::PushDown(const VTMouseDownRecord& r)
{
    std::lock_guard<std::mutex> hold(lock_);
    downs_.push_back(r);
}

void VTGameBoardMouseQueue::PushUp(const VTMouseUpRecord& r)
{
    std::lock_guard<std::mutex> hold(lock_);
    ups_.push_back(r);
}

void VTGameBoardMouseQueue::PushMove(const VTMouseMoveRecord& r)
{
    std::lock_guard<std::mutex> hold(lock_);
    moves_.push_back(r);
}

std::optional<VTMouseDownRecord> VTGameBoardMouseQueue::PopDown() { return PopFront(lock_, downs_); }
std::optional<VTMouseUpRecord> VTGameBoardMouseQueue::PopUp() { return PopFront(lock_, ups_); }
std::optional<VTMouseMoveRecord> VTGameBoardMouseQueue::PopMove() { return PopFront(lock_, moves_); }

void VTGameBoardMouseQueue::Clear()
{
    std::lock_guard<std::mutex> hold(lock_);
    downs_.clear();
    ups_.clear();
    moves_.clear();
}
