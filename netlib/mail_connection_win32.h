// What SendMail and RecvMail share: a blocking TCP connection whose every
// wait is bounded (60 seconds to connect, to send, and for each reply to
// arrive whole), the protocol handler that hears about the exchange, and
// the properties both classes have.
#pragma once

#include <winsock2.h>

#include <cstdint>
#include <string>

#include "runtime/context.h"

namespace kelpo {

constexpr DWORD kMailTimeLimitMs = 60000;

// The kinds of report a handler gets with a text.
enum MailReport {
    kReportSocketError = 0,  // the system's message for a socket error
    kReportReply = 1,        // a server reply
    kReportCommand = 2,      // a command line just sent
    kReportProgress = 3,     // bytes moved so far; the handler's result decides
};

// The state both clients keep.
struct MailClient {
    SOCKET socket;
    std::string* server;
    int64_t port;
    std::string* username;  // null: not set
    std::string* password;
    Value handler;  // a Function, or Undefined
    bool busy;      // an exchange runs (its handler may call the client)
};

// One exchange of a client: the context, the client, and the instance
// that is `this` of the handler.
struct MailExchange {
    ScriptContext* context;
    MailClient* client;
    Value self;
};

// Fills a new client's fields (the server "localhost", the given port);
// false when its strings cannot be allocated.
bool InitMailClient(MailClient* client, int64_t port);
// Closes the socket and frees the strings.
void FinalizeMailClient(MailClient* client);

// Opens a connection to the client's server and port (a name resolved by
// the system, else a dotted address), closing an open one first; false
// with the error code in *code when none could be made.
bool OpenMailSocket(MailClient* client, int* code);
void CloseMailSocket(MailClient* client);

// Sends all bytes; false (the socket closed, the handler told) on failure
// or time-out.
bool SendMailBytes(MailExchange& exchange, const std::string& bytes);

// Receives until `complete` says the reply is whole, at most `limit` bytes
// and 60 seconds; false (the socket closed, the handler told) on failure,
// time-out, the peer's close or a reply past the limit. With `progress`,
// the handler hears after each piece how many bytes follow the reply's
// first line, and its false ends the transfer (the socket closed).
bool ReceiveMailReply(MailExchange& exchange, size_t limit, bool (*complete)(const std::string&),
                      std::string* reply, bool progress = false);

// Runs the handler with (kind, text); true when its result converts to
// true, or when there is no handler. A handler that fails counts as false.
// The context's result and error text stay as they were.
bool ReportToHandler(MailExchange& exchange, MailReport kind, const std::string& text);

// Reports the system's message for a socket error code as kind 0.
void ReportSocketError(MailExchange& exchange, int code);

// The properties both classes have, in this order in their tables.
enum MailClientMember {
    kServerMember,
    kPortMember,
    kUsernameMember,
    kPasswordMember,
    kHandlerMember
};
int MailClientProperty(ScriptContext* context, MailClient* client, int member, int isSet,
                       Value* io);

// The instance data of SendMail and RecvMail.
struct MailClientData {
    MailClient* client;
};

// The client of an instance; null for the class object.
MailClient* MailClientOf(void* data);

// A new instance of `klass` (made with NewInstance, instanceSize
// sizeof(MailClientData)) owning a client for `port`; Null when the client
// cannot be made.
void NewMailClientInstance(ScriptContext* context, NativeClass* klass, int64_t port, Value* out);

// The class callbacks both clients share.
int MailClientDataProperty(ScriptContext* context, NativeClass* klass, void* data, int member,
                           int isSet, Value* io);
void FinalizeMailClientData(NativeClass* klass, void* data);
void MarkMailClientData(NativeClass* klass, void* data);

}  // namespace kelpo
