// The Inet class (Windows only): HTTP downloads and header queries, ping,
// MX lookups, the DNS servers and the interface table, and the opening of
// FTP connections. Every method works on the class object and on
// instances; the progress handlers onGetUrl and onPinging live on
// instances, so only calls on an instance raise events. Every operation is
// synchronous: events run from inside the call, with `this` the instance.
#include <windows.h>

#include <string>
#include <vector>

#include "corelib/callback_roots.h"
#include "netlib/classes.h"
#include "netlib/inet_win32.h"
#include "netlib/ipconfig_win32.h"
#include "runtime/array.h"
#include "runtime/atoms.h"
#include "runtime/call.h"
#include "runtime/class_kit.h"
#include "runtime/convert.h"
#include "runtime/errors.h"
#include "runtime/gc.h"
#include "runtime/native_args.h"
#include "runtime/object.h"

namespace kelpo {
namespace {

// The host isInetConnected pings when it is given none: a public name
// server that answers echo requests and is reachable from wherever the
// Internet is.
const char kDefaultInternetHost[] = "8.8.8.8";

// The global the FTP class is registered under; openFtp constructs it.
const char kFtpClassGlobal[] = "_InetFtp_";

// URLs, paths, host names and header names as the system takes them.
constexpr size_t kMaxUrlText = 1 << 16;
constexpr size_t kMaxHostText = 255;
constexpr size_t kMaxHeaderName = 4096;

struct InetData {
    Value onPinging;  // a Function or Undefined
    Value onGetUrl;
};

enum Method {
    kGetUrl,
    kGetHttpFileSize,
    kGetHttpFileStatus,
    kGetHttpFileLastModifiedTime,
    kGetHttpFileHeader,
    kPing,
    kIsInetConnected,
    kMxfind,
    kGetDNS,
    kGetIPConfig,
    kOpenFtp,
};
const MemberRow kMethods[] = {
    {"getUrl",
     "getUrl(url, file) -> Boolean: downloads url into the file in 512-byte blocks, calling "
     "onGetUrl(1, bytes so far) after each (the download stops unless it answers true) and "
     "onGetUrl(0, message) when the URL cannot be opened; true when every byte arrived; a "
     "stopped or failed download leaves the part written"},
    {"getHttpFileSize",
     "getHttpFileSize(url) -> Integer: the Content-Length of the response to a GET of an http "
     "or https URL; -1 when there is none or on any failure"},
    {"getHttpFileStatus",
     "getHttpFileStatus(url) -> Integer: the HTTP status code of the response; -1 on any "
     "failure (other schemes included)"},
    {"getHttpFileLastModifiedTime",
     "getHttpFileLastModifiedTime(url) -> Number: the Last-Modified time of the response in "
     "milliseconds since 1970-01-01 UTC; 0 on failure"},
    {"getHttpFileHeader",
     "getHttpFileHeader(url, name) -> String: the value of the named response header; Null on "
     "failure"},
    {"ping",
     "ping(host, count) -> Integer: sends count ICMP echo requests to a host name or dotted "
     "address and gives the number of replies; each step calls onPinging(kind, value, text)"},
    {"isInetConnected",
     "isInetConnected([host]) -> Boolean: true when 4 echo requests to the host (default "
     "8.8.8.8) get a reply"},
    {"mxfind",
     "mxfind(domain, server) -> Array: the MX records of the domain asked from the DNS server "
     "over TCP, as {name, pref} Objects in answer order; an empty Array on failure"},
    {"getDNS", "getDNS() -> Array: the configured DNS server addresses as dotted Strings"},
    {"getIPConfig",
     "getIPConfig() -> IPConfig: the network interface table (0 interfaces when the SNMP agent "
     "is not available)"},
    {"openFtp",
     "openFtp(host [, port [, user, password [, passive [, proxy [, proxyUser, "
     "proxyPassword]]]]]) -> _InetFtp_: a new FTP object made with these arguments; Null when "
     "it cannot be made"},
};

enum Property { kOnPinging, kOnGetUrl };
const MemberRow kProperties[] = {
    {"onPinging", "function(kind, value, text): called at each step of a ping"},
    {"onGetUrl",
     "function(kind, text): the progress of getUrl; answering true after kind 1 goes on"},
};

// Calls an instance's handler with `this` the instance; an error inside it
// ends only the handler. Answers the handler's result converted to Boolean
// (false when it failed or there is none).
bool RaiseEvent(ScriptContext* context, InetData* self, const Value& handler, Value* args,
                int count) {
    if (self == nullptr || handler.tag != ValueTag::Function) return false;
    Value function = handler;
    Value receiver = InstanceValue(self);
    bool answer = false;
    CatchRaise(context, [&] {
        CallbackRoots roots(context);
        roots.Push(function);
        roots.Push(receiver);
        for (int i = 1; i < count; ++i) roots.Push(args[i]);
        if (CallValue(context, &receiver, &function, count, args))
            answer = ToBoolean(context, context->result) != 0;
    });
    return answer;
}

struct EventTarget {
    ScriptContext* context;
    InetData* self;
};

bool ReportDownload(void* owner, int kind, const std::string& text) {
    auto* target = static_cast<EventTarget*>(owner);
    // Without a handler nothing stops the transfer.
    if (target->self == nullptr || target->self->onGetUrl.tag != ValueTag::Function) return true;
    ScriptContext* context = target->context;
    Value args[3] = {MakeInteger(2), MakeInteger(kind), MakeUndefined()};
    if (!CatchRaise(context, [&] { args[2] = AnsiString(context, text); })) return false;
    return RaiseEvent(context, target->self, target->self->onGetUrl, args, 3);
}

void ReportPing(void* owner, int kind, int value, const std::string& text) {
    auto* target = static_cast<EventTarget*>(owner);
    if (target->self == nullptr || target->self->onPinging.tag != ValueTag::Function) return;
    ScriptContext* context = target->context;
    Value args[4] = {MakeInteger(3), MakeInteger(kind), MakeInteger(value), MakeUndefined()};
    if (!CatchRaise(context, [&] { args[3] = AnsiString(context, text); })) return;
    RaiseEvent(context, target->self, target->self->onPinging, args, 4);
}

// The ANSI text of String argument k, at most `limit` bytes.
bool TextArg(ScriptContext* context, const Value* args, int k, size_t limit, std::string* text) {
    return IsStringArg(args, k) && BoundedAnsi(context, args[k], limit, *text);
}

Value GetUrl(ScriptContext* context, InetData* self, const Value* args) {
    std::string url, path;
    if (!TextArg(context, args, 1, kMaxUrlText, &url) ||
        !TextArg(context, args, 2, kMaxPathText, &path) || path.empty())
        return MakeUndefined();
    EventTarget target = {context, self};
    DownloadProgress progress;
    progress.report = ReportDownload;
    progress.owner = &target;
    return MakeBoolean(DownloadUrl(url, path, progress));
}

Value HttpQuery(ScriptContext* context, int member, const Value* args) {
    std::string url, name, header;
    const bool hasUrl = TextArg(context, args, 1, kMaxUrlText, &url);
    int64_t number = -1;
    double time = 0;
    switch (member) {
        case kGetHttpFileSize:
            return MakeInteger(hasUrl && HttpContentLength(url, &number) ? number : -1);
        case kGetHttpFileStatus:
            return MakeInteger(hasUrl && HttpStatusCode(url, &number) ? number : -1);
        case kGetHttpFileLastModifiedTime:
            return MakeFloat(hasUrl && HttpLastModified(url, &time) ? time : 0.0);
        case kGetHttpFileHeader:
            if (hasUrl && TextArg(context, args, 2, kMaxHeaderName, &name) &&
                HttpHeader(url, name, &header))
                return AnsiString(context, header);
            return MakeNull();
    }
    return MakeUndefined();
}

Value Ping(ScriptContext* context, InetData* self, const std::string& host, int64_t count) {
    EventTarget target = {context, self};
    PingProgress progress;
    progress.report = ReportPing;
    progress.owner = &target;
    return MakeInteger(PingHost(host, count, progress));
}

Value MxFind(ScriptContext* context, const Value* args) {
    std::string domain, server;
    std::vector<MxRecord> records;
    if (!IsStringArg(args, 1) || !IsStringArg(args, 2)) return MakeUndefined();
    // Texts too long for a name or a server find nothing.
    if (TextArg(context, args, 1, kMaxHostText, &domain) &&
        TextArg(context, args, 2, kMaxHostText, &server))
        LookUpMx(domain, server, &records);
    Value list = NewArray(context, 0);
    CallbackRoots roots(context);
    roots.Push(list);
    for (size_t i = 0; i < records.size(); ++i) {
        ScriptObject* record = NewObject(context);
        Value value = MakeObject(record);
        ArraySet(context, list, value, i);
        PutProperty(context, record, InternAtom(context, "name"),
                    AnsiString(context, records[i].name));
        PutProperty(context, record, InternAtom(context, "pref"), MakeInteger(records[i].pref));
    }
    list.array->length = records.size();  // ArraySet leaves the length to its caller
    return list;
}

Value StringList(ScriptContext* context, const std::vector<std::string>& texts) {
    Value list = NewArray(context, 0);
    CallbackRoots roots(context);
    roots.Push(list);
    for (size_t i = 0; i < texts.size(); ++i)
        ArraySet(context, list, AnsiString(context, texts[i]), i);
    list.array->length = texts.size();
    return list;
}

// new _InetFtp_(...) with the arguments given; Null when there is no such
// class or it makes nothing.
Value OpenFtp(ScriptContext* context, Value* args) {
    Value ftpClass = GetGlobal(context, kFtpClassGlobal);
    Value made = MakeNull();
    if (!CatchRaise(context, [&] {
            CallbackRoots roots(context);
            roots.Push(ftpClass);
            if (!ConstructNative(context, ftpClass, args, &made)) made = MakeNull();
        }))
        return MakeNull();
    return made.tag == ValueTag::Undefined ? MakeNull() : made;
}

int InetMethod(ScriptContext* context, NativeClass*, void* data, int member, Value* out,
               Value* args) {
    auto* self = static_cast<InetData*>(data);
    std::string host;
    switch (member) {
        case kGetUrl: *out = GetUrl(context, self, args); break;
        case kGetHttpFileSize:
        case kGetHttpFileStatus:
        case kGetHttpFileLastModifiedTime:
        case kGetHttpFileHeader: *out = HttpQuery(context, member, args); break;
        case kPing:
            if (TextArg(context, args, 1, kMaxHostText, &host) && IsIntegerArg(args, 2))
                *out = Ping(context, self, host, args[2].integer);
            break;
        case kIsInetConnected:
            if (!HasArg(args, 1) || args[1].tag == ValueTag::Undefined) {
                host = kDefaultInternetHost;
            } else if (!TextArg(context, args, 1, kMaxHostText, &host)) {
                break;
            }
            *out = MakeBoolean(Ping(context, self, host, 4).integer > 0);
            break;
        case kMxfind: *out = MxFind(context, args); break;
        case kGetDNS: *out = StringList(context, ConfiguredDnsServers()); break;
        case kGetIPConfig: *out = NewIPConfig(context, ReadInterfaceTable()); break;
        case kOpenFtp: *out = OpenFtp(context, args); break;
    }
    return 1;
}

// The handlers live on instances and keep only Functions written to them.
int InetProperty(ScriptContext*, NativeClass*, void* data, int member, int isSet, Value* io) {
    auto* self = static_cast<InetData*>(data);
    if (self == nullptr) return 0;
    Value& handler = member == kOnPinging ? self->onPinging : self->onGetUrl;
    if (!isSet) {
        *io = handler;
    } else if (io->tag == ValueTag::Function) {
        handler = *io;
    }
    return 1;
}

// new Inet(): an instance, which can hold the handlers.
void ConstructInet(ScriptContext* context, NativeClass* klass, Value*, Value* out) {
    auto* self = NewInstanceOf<InetData>(context, klass, out);
    self->onPinging = MakeUndefined();
    self->onGetUrl = MakeUndefined();
}

void MarkInet(NativeClass*, void* data) {
    auto* self = static_cast<InetData*>(data);
    if (self == nullptr) return;
    GcMarkValue(self->onPinging);
    GcMarkValue(self->onGetUrl);
}

const ClassSpec kInetClass = {
    .name = "Inet",
    .text = u"[object Inet]",
    .about =
        "The Internet functions: HTTP downloads and header queries, ping, MX lookups over "
        "TCP, the DNS servers, the interface table and FTP connections; made with new "
        "Inet().",
    .methods = kMethods,
    .method = InetMethod,
    .properties = kProperties,
    .property = InetProperty,
    .construct = ConstructInet,
    .mark = MarkInet,
    .instanceSize = sizeof(InetData),
};

}  // namespace

// Inet brings its FTP class along: openFtp constructs it by its global.
void RegisterInetClass(ScriptContext* context) {
    DefineClass(context, kInetClass);
    RegisterInetFtpClass(context);
}

}  // namespace kelpo
