#include "netlib/ftp_options.h"

#include "netlib/ftp_rules.h"
#include "runtime/convert.h"
#include "runtime/native_args.h"
#include "runtime/strings.h"

namespace kelpo {
namespace {

bool HasNulUnit(const Value& value) {
    const ScriptString* text = value.string;
    for (uint32_t i = 0; i < text->length; ++i) {
        if (text->chars[i] == 0) return true;
    }
    return false;
}

std::string Text(ScriptContext* context, const Value* args, int k, FtpOptions* options) {
    if (HasNulUnit(args[k])) options->textsWhole = false;
    return StringArg(context, args, k);
}

bool Fits(const std::string& text, size_t limit) {
    return text.size() <= limit && IsSendableFtpText(text);
}

}  // namespace

bool ReadFtpOptions(ScriptContext* context, const Value* args, FtpOptions* options) {
    *options = FtpOptions();
    if (!IsStringArg(args, 1)) return false;
    options->host = FtpHostOfText(Text(context, args, 1, options));
    if (!IsIntegerArg(args, 2)) return true;
    options->port = args[2].integer;
    if (!IsStringArg(args, 3) || !IsStringArg(args, 4)) return true;
    options->user = Text(context, args, 3, options);
    options->password = Text(context, args, 4, options);
    if (!HasArg(args, 5)) return true;
    options->passive = ToBoolean(context, args[5]) != 0;
    if (!IsStringArg(args, 6)) return true;
    options->proxy = Text(context, args, 6, options);
    if (!IsStringArg(args, 7) || !IsStringArg(args, 8)) return true;
    options->proxyUser = Text(context, args, 7, options);
    options->proxyPassword = Text(context, args, 8, options);
    return true;
}

bool FtpOptionsUsable(const FtpOptions& options) {
    return options.textsWhole && !options.host.empty() && Fits(options.host, kMaxFtpHostText) &&
           options.port >= 0 && options.port <= 65535 && Fits(options.user, kMaxFtpOptionText) &&
           Fits(options.password, kMaxFtpOptionText) && Fits(options.proxy, kMaxFtpOptionText) &&
           Fits(options.proxyUser, kMaxFtpOptionText) &&
           Fits(options.proxyPassword, kMaxFtpOptionText);
}

}  // namespace kelpo
