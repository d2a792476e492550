#include "server/Submission.h"

#include <nlohmann/json.hpp>

#include "server/Names.h"

namespace {

constexpr size_t kMaxTokenLength = 64;

Submission Refused(int status, std::string reason) {
    Submission s;
    s.status = status;
    s.reason = std::move(reason);
    return s;
}

}  // namespace

Submission ReadSubmission(const std::string& text, const VerifyLimits& limits) {
    using nlohmann::json;
    if (text.size() > limits.maxBytes + 64 * 1024) {
        return Refused(413, "the body is larger than this server takes");
    }
    const json body = json::parse(text, nullptr, false);
    if (body.is_discarded()) {
        return Refused(400, "the body is not JSON");
    }
    if (!body.is_object() || !body.contains("name") || !body["name"].is_string() ||
        !body.contains("recording") || !body["recording"].is_string()) {
        return Refused(400, "expected a JSON object with the strings name and recording");
    }
    Submission s;
    if (body.contains("token") && !body["token"].is_null()) {
        if (!body["token"].is_string() ||
            body["token"].get_ref<const std::string&>().size() > kMaxTokenLength) {
            return Refused(400, "the token is not one this server issued");
        }
        s.token = body["token"].get<std::string>();
    }
    const NameCheck name = CheckName(body["name"].get<std::string>());
    if (!name.ok) {
        return Refused(400, name.reason);
    }
    s.name = name.name;
    s.recording = body["recording"].get<std::string>();
    if (s.recording.size() > limits.maxBytes) {
        return Refused(413, "the recording is larger than this server takes");
    }
    return s;
}
