// The RecvMail class: a POP3 client with one method per command. Replies
// that are not "+OK" go to the handler `onRecv` as kind 1 and the method
// answers its failure value; while a message is retrieved the handler
// hears how many bytes have arrived and decides whether to go on.
#include <winsock2.h>

#include <new>
#include <string>
#include <vector>

#include "netlib/classes.h"
#include "netlib/mail_class_win32.h"
#include "netlib/mail_connection_win32.h"
#include "netlib/pop3_replies.h"
#include "netlib/winsock_start_win32.h"
#include "runtime/array.h"
#include "runtime/class_kit.h"
#include "runtime/errors.h"
#include "runtime/gc.h"
#include "runtime/native_args.h"

namespace kelpo {
namespace {

// A single-line reply is at most 512 bytes (RFC 1939); listings and
// messages are bounded too, so that a server that never ends its data
// cannot take all memory.
constexpr size_t kMaxLineReply = 512;
constexpr size_t kMaxListing = size_t{16} << 20;
constexpr size_t kMaxMessage = size_t{128} << 20;

enum Method { kConnect, kStat, kList, kUidl, kRetr, kTop, kDele, kNoop, kRset, kQuit, kClose };
const MemberRow kMethods[] = {
    {"connect",
     "connect() -> Boolean: opens the connection and reads the greeting; with username and "
     "password set, logs in with USER and PASS"},
    {"stat", "stat() -> String: the message count and size after \"+OK \"; Null on failure"},
    {"list",
     "list([n]) -> Array: an Array whose element m - 1 is the size of message m (holes for "
     "deleted ones), or with n the Integer size of message n; Null on failure"},
    {"uidl",
     "uidl([n]) -> Array: an Array whose element m - 1 is the unique id of message m, or with n "
     "the String id of message n; Null on failure"},
    {"retr", "retr(n) -> Mail: message n as a new Mail; Null on failure"},
    {"top",
     "top(n, lines) -> String: the header and the first lines of message n; Null on failure"},
    {"dele", "dele(n) -> Boolean: marks message n deleted"},
    {"noop", "noop() -> Boolean: true when the server answers"},
    {"rset", "rset() -> Boolean: undoes the deletions of this session"},
    {"quit",
     "quit() -> Boolean: ends the session (deletions take effect) and closes the connection"},
    {"close", "close() -> nothing: closes the connection"},
};

const MemberRow kProperties[] = {
    {"server", "String: the POP3 server's name or dotted address (\"localhost\")"},
    {"port", "Integer: the server's port (110)"},
    {"username", "String: the user name to log in with"},
    {"password", "String: the password to log in with"},
    {"onRecv",
     "function(kind, text): 0 a socket error, 1 a reply other than \"+OK\", 3 the bytes of a "
     "message received so far (answer true to go on)"},
};

// Sends a command and reads its reply (single-line, or multi-line when
// `multi`); true only for "+OK". Other replies go to the handler.
bool Command(MailExchange& exchange, const std::string& line, bool multi, std::string* reply,
             bool message = false) {
    reply->clear();
    if (exchange.client->socket == INVALID_SOCKET || !SendMailBytes(exchange, line)) return false;
    const size_t limit = !multi ? kMaxLineReply : message ? kMaxMessage : kMaxListing;
    if (!ReceiveMailReply(exchange, limit, multi ? Pop3MultiLineComplete : Pop3LineComplete, reply,
                          message))
        return false;
    if (!Pop3Ok(*reply)) {
        ReportToHandler(exchange, kReportReply, *reply);
        return false;
    }
    return true;
}

bool Connect(MailExchange& exchange) {
    MailClient* client = exchange.client;
    int code = 0;
    if (!OpenMailSocket(client, &code)) {
        ReportSocketError(exchange, code);
        return false;
    }
    std::string reply;
    if (!ReceiveMailReply(exchange, kMaxLineReply, Pop3LineComplete, &reply)) return false;
    bool ok = Pop3Ok(reply);
    if (!ok) ReportToHandler(exchange, kReportReply, reply);
    if (ok && client->username != nullptr && client->password != nullptr) {
        // Credentials go on one command line each: a line break in them
        // would start another command.
        const std::string user = *client->username, password = *client->password;
        const bool clean = user.find_first_of("\r\n") == std::string::npos &&
                           password.find_first_of("\r\n") == std::string::npos;
        ok = clean && Command(exchange, "USER " + user + "\r\n", false, &reply) &&
             Command(exchange, "PASS " + password + "\r\n", false, &reply);
    }
    if (!ok) CloseMailSocket(client);
    return ok;
}

bool MessageNumber(const Value* args, int k, int64_t* n) {
    if (!IsIntegerArg(args, k) || args[k].integer < 1 || args[k].integer > kMaxPop3Message)
        return false;
    *n = args[k].integer;
    return true;
}

Value Stat(ScriptContext* context, MailExchange& exchange) {
    std::string reply;
    if (!Command(exchange, "STAT\r\n", false, &reply)) return MakeNull();
    const std::string line = Pop3FirstLine(reply);
    return AnsiString(context, line.size() > 4 ? line.substr(4) : std::string());
}

// LIST and UIDL: the value of one message, or an Array with element m - 1
// for message m (the numbers of deleted messages are missing from it).
Value Listing(ScriptContext* context, MailExchange& exchange, const char* command, bool sizes,
              const Value* args) {
    std::string reply;
    auto valueOf = [&](const std::string& text) {
        return sizes ? MakeInteger(strtoll(text.c_str(), nullptr, 10)) : AnsiString(context, text);
    };
    if (HasArg(args, 1) && args[1].tag != ValueTag::Undefined) {
        int64_t n = 0;
        if (!MessageNumber(args, 1, &n)) return MakeNull();
        std::string value;
        if (!Command(exchange, std::string(command) + " " + std::to_string(n) + "\r\n", false,
                     &reply) ||
            !Pop3ScanValue(reply, &value))
            return MakeNull();
        return valueOf(value);
    }
    if (!Command(exchange, std::string(command) + "\r\n", true, &reply)) return MakeNull();
    const std::vector<Pop3Entry> entries = Pop3Listing(Pop3ReplyData(reply));
    Value array = NewArray(context, 0);
    for (const Pop3Entry& entry : entries) {
        const uint64_t index = static_cast<uint64_t>(entry.number - 1);
        ArraySet(context, array, valueOf(entry.value), index);
        // ArraySet leaves the length to its caller.
        if (index >= array.array->length) array.array->length = index + 1;
    }
    return array;
}

Value Retrieve(ScriptContext* context, MailExchange& exchange, const Value* args) {
    int64_t n = 0;
    std::string reply;
    if (!MessageNumber(args, 1, &n) ||
        !Command(exchange, "RETR " + std::to_string(n) + "\r\n", true, &reply, true))
        return MakeNull();
    Value mail = NewMailValue(context);
    MailMessage* message = MailMessageOf(mail);
    if (message == nullptr || !LoadMailText(message, Pop3ReplyData(reply))) return MakeNull();
    return mail;
}

Value Top(ScriptContext* context, MailExchange& exchange, const Value* args) {
    int64_t n = 0;
    std::string reply;
    if (!MessageNumber(args, 1, &n) || !IsIntegerArg(args, 2) || args[2].integer < 0 ||
        !Command(exchange,
                 "TOP " + std::to_string(n) + " " + std::to_string(args[2].integer) + "\r\n", true,
                 &reply, true))
        return MakeNull();
    return AnsiString(context, Pop3ReplyData(reply));
}

bool Simple(MailExchange& exchange, const std::string& line) {
    std::string reply;
    return Command(exchange, line, false, &reply);
}

int RecvMailMethod(ScriptContext* context, NativeClass*, void* data, int member, Value* out,
                   Value* args) {
    MailClient* client = MailClientOf(data);
    if (client == nullptr) return 0;
    if (member == kClose) {
        CloseMailSocket(client);
        return 1;
    }
    const bool booleanResult = member == kConnect || member == kDele || member == kNoop ||
                               member == kRset || member == kQuit;
    *out = booleanResult ? MakeBoolean(false) : MakeNull();
    // A handler that calls its own client while an exchange runs is refused.
    if (client->busy) return 1;
    MailExchange exchange = {context, client, InstanceValue(data)};
    client->busy = true;
    try {
        int64_t n = 0;
        switch (member) {
            case kConnect: *out = MakeBoolean(Connect(exchange)); break;
            case kStat: *out = Stat(context, exchange); break;
            case kList: *out = Listing(context, exchange, "LIST", true, args); break;
            case kUidl: *out = Listing(context, exchange, "UIDL", false, args); break;
            case kRetr: *out = Retrieve(context, exchange, args); break;
            case kTop: *out = Top(context, exchange, args); break;
            case kDele:
                *out = MakeBoolean(MessageNumber(args, 1, &n) &&
                                   Simple(exchange, "DELE " + std::to_string(n) + "\r\n"));
                break;
            case kNoop: *out = MakeBoolean(Simple(exchange, "NOOP\r\n")); break;
            case kRset: *out = MakeBoolean(Simple(exchange, "RSET\r\n")); break;
            case kQuit:
                *out = MakeBoolean(Simple(exchange, "QUIT\r\n"));
                CloseMailSocket(client);
                break;
        }
    } catch (const std::bad_alloc&) {
        CloseMailSocket(client);
    } catch (...) {
        client->busy = false;
        throw;  // a script error raised inside: it unwinds to its frame
    }
    client->busy = false;
    return 1;
}

void ConstructRecvMail(ScriptContext* context, NativeClass* klass, Value*, Value* out) {
    NewMailClientInstance(context, klass, 110, out);
}

void CallRecvMail(ScriptContext* context, NativeClass* klass, void*, Value* out, Value*) {
    NewMailClientInstance(context, klass, 110, out);
}

const ClassSpec kRecvMailClass = {
    .name = "RecvMail",
    .text = u"[object RecvMail]",
    .about = "A POP3 client with one method per command; made with new RecvMail().",
    .methods = kMethods,
    .method = RecvMailMethod,
    .properties = kProperties,
    .property = MailClientDataProperty,
    .call = CallRecvMail,
    .construct = ConstructRecvMail,
    .finalize = FinalizeMailClientData,
    .mark = MarkMailClientData,
    .instanceSize = sizeof(MailClientData),
};

}  // namespace

void RegisterRecvMailClass(ScriptContext* context) {
    StartWinsock();
    DefineClass(context, kRecvMailClass);
}

}  // namespace kelpo
