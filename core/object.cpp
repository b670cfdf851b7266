#include "object.h"

#include <atomic>

namespace {
// Objects are made on several threads at once.
std::atomic<int> id_counter{0};
}

t_id::t_id() : m_number(++id_counter) {}

const t_id t_object::class_id;

int t_object::get_id() const { return class_id.number(); }
