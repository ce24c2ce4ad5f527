// The Mail class as the mail clients use it: SendMail sends a Mail's
// message, RecvMail makes a new Mail of each message it retrieves.
#pragma once

#include "netlib/mail_message.h"
#include "runtime/context.h"

namespace kelpo {

// The message of a Mail instance; null for any other value.
MailMessage* MailMessageOf(const Value& value);

// A new Mail instance (its message empty); Null when none can be made.
Value NewMailValue(ScriptContext* context);

// What messages written now take from the system: the ANSI code page's
// charset, the process id and the tick count.
MailWriting CurrentMailWriting();

}  // namespace kelpo
