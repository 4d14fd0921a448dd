#include "output/RtkitRequest.h"

#include <algorithm>
#include <cstdint>
#include <dbus/dbus.h>
#include <optional>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace velkaro {

namespace {

constexpr const char* Service = "org.freedesktop.RealtimeKit1";
constexpr const char* ObjectPath = "/org/freedesktop/RealtimeKit1";
constexpr int AnswerTimeoutMs = 500;

// A private connection to the system bus, closed again when done, so the request leaves no
// shared connection behind that something else in the process might be using.
class SystemBus {
public:
    SystemBus() {
        dbus_error_init(&error_);
        bus_ = dbus_bus_get_private(DBUS_BUS_SYSTEM, &error_);
        if (bus_) dbus_connection_set_exit_on_disconnect(bus_, FALSE);
    }
    ~SystemBus() {
        if (bus_) {
            dbus_connection_close(bus_);
            dbus_connection_unref(bus_);
        }
        dbus_error_free(&error_);
    }
    SystemBus(const SystemBus&) = delete;
    SystemBus& operator=(const SystemBus&) = delete;

    bool IsOpen() const { return bus_ != nullptr; }

    // Sends the call and returns the answer, or nullptr on any error. Takes the call.
    DBusMessage* Call(DBusMessage* call) {
        if (!call) return nullptr;
        DBusMessage* answer =
            dbus_connection_send_with_reply_and_block(bus_, call, AnswerTimeoutMs, &error_);
        dbus_message_unref(call);
        dbus_error_free(&error_);
        return answer;
    }

    // One integer property of rtkit (its limits), whatever integer type it is sent as.
    std::optional<std::int64_t> IntegerProperty(const char* name) {
        DBusMessage* call = dbus_message_new_method_call(Service, ObjectPath,
                                                         "org.freedesktop.DBus.Properties", "Get");
        const char* interface = Service;
        if (!call || !dbus_message_append_args(call, DBUS_TYPE_STRING, &interface, DBUS_TYPE_STRING,
                                               &name, DBUS_TYPE_INVALID))
            return std::nullopt;
        DBusMessage* answer = Call(call);
        if (!answer) return std::nullopt;
        std::optional<std::int64_t> value;
        DBusMessageIter top;
        DBusMessageIter inner;
        if (dbus_message_iter_init(answer, &top) &&
            dbus_message_iter_get_arg_type(&top) == DBUS_TYPE_VARIANT) {
            dbus_message_iter_recurse(&top, &inner);
            const int type = dbus_message_iter_get_arg_type(&inner);
            if (type == DBUS_TYPE_INT64) {
                dbus_int64_t v = 0;
                dbus_message_iter_get_basic(&inner, &v);
                value = v;
            } else if (type == DBUS_TYPE_INT32) {
                dbus_int32_t v = 0;
                dbus_message_iter_get_basic(&inner, &v);
                value = v;
            }
        }
        dbus_message_unref(answer);
        return value;
    }

    bool MakeThreadRealtime(std::uint64_t thread, std::uint32_t priority) {
        DBusMessage* call =
            dbus_message_new_method_call(Service, ObjectPath, Service, "MakeThreadRealtime");
        dbus_uint64_t id = thread;
        dbus_uint32_t level = priority;
        if (!call || !dbus_message_append_args(call, DBUS_TYPE_UINT64, &id, DBUS_TYPE_UINT32,
                                               &level, DBUS_TYPE_INVALID))
            return false;
        DBusMessage* answer = Call(call);
        if (!answer) return false;
        const bool granted = dbus_message_get_type(answer) == DBUS_MESSAGE_TYPE_METHOD_RETURN;
        dbus_message_unref(answer);
        return granted;
    }

private:
    DBusError error_;
    DBusConnection* bus_ = nullptr;
};

} // namespace

// rtkit refuses processes that could hog a core unbounded: the hard limit of their real-time
// CPU time between two blocking calls must lie within its maximum. The soft limit lies at half
// of it: SIGXCPU there lets the thread drop to normal priority before the hard one kills it.
bool LimitRealTimeCpu(std::int64_t maxMicroseconds) {
    rlimit limit{};
    if (getrlimit(RLIMIT_RTTIME, &limit) != 0 || maxMicroseconds <= 0) return false;
    const auto hard = std::min(static_cast<rlim_t>(maxMicroseconds), limit.rlim_max);
    const rlim_t soft = std::max<rlim_t>(hard / 2, 1);
    if (limit.rlim_max == hard && limit.rlim_cur <= soft) return true;
    limit.rlim_cur = std::min(limit.rlim_cur, soft);
    limit.rlim_max = hard;
    return setrlimit(RLIMIT_RTTIME, &limit) == 0;
}

bool AskRtkitForRealTime(int priority) {
    SystemBus bus;
    if (!bus.IsOpen()) return false;
    const std::optional<std::int64_t> maxPriority = bus.IntegerProperty("MaxRealtimePriority");
    const std::optional<std::int64_t> maxCpu = bus.IntegerProperty("RTTimeUSecMax");
    if (!maxPriority || !maxCpu || *maxPriority < 1) return false;
    if (!LimitRealTimeCpu(*maxCpu)) return false;
    const auto level = static_cast<std::uint32_t>(std::min<std::int64_t>(priority, *maxPriority));
    return bus.MakeThreadRealtime(static_cast<std::uint64_t>(::syscall(SYS_gettid)), level);
}

} // namespace velkaro
