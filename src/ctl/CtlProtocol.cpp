#include "ctl/CtlProtocol.h"

#include <json/reader.h>
#include <json/writer.h>

#include <memory>

namespace korva::ctl {
namespace {

std::string OneLine(const Json::Value& value) {
  Json::StreamWriterBuilder builder;
  builder["indentation"] = "";
  return Json::writeString(builder, value);
}

std::optional<Json::Value> ParseObject(std::string_view text) {
  Json::CharReaderBuilder builder;
  builder["collectComments"] = false;
  builder["allowSpecialFloats"] = false;
  builder["failIfExtra"] = true;
  builder["rejectDupKeys"] = true;
  builder["stackLimit"] = 16;
  const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  Json::Value value;
  std::string errors;
  try {
    if (!reader->parse(text.data(), text.data() + text.size(), &value, &errors) || !value.isObject())
      return std::nullopt;
  } catch (const Json::Exception&) {
    return std::nullopt;  // jsoncpp throws past its nesting limit
  }
  return value;
}

RequestOutcome Bad(std::string why) {
  return {std::nullopt, "bad request: " + std::move(why)};
}

}  // namespace

std::string EncodeRequest(const CtlRequest& request) {
  Json::Value json(Json::objectValue);
  Json::Value& arguments = json["args"] = Json::Value(Json::arrayValue);
  for (const std::string& argument : request.arguments) arguments.append(argument);
  json["cwd"] = request.workingFolder.string();
  return std::string(kRequestPrefix) + OneLine(json);
}

RequestOutcome ParseRequest(std::string_view line) {
  if (line.size() > kMaxRequestBytes) return Bad("longer than " + std::to_string(kMaxRequestBytes) + " bytes");
  if (!line.starts_with(kRequestPrefix)) return Bad("not a korvactl request");
  const std::optional<Json::Value> json = ParseObject(line.substr(kRequestPrefix.size()));
  if (!json) return Bad("not a JSON object");
  const Json::Value& arguments = (*json)["args"];
  const Json::Value& folder = (*json)["cwd"];
  if (!arguments.isArray()) return Bad("\"args\" is not a list");
  if (arguments.size() > kMaxRequestArguments)
    return Bad("more than " + std::to_string(kMaxRequestArguments) + " arguments");
  if (!folder.isString()) return Bad("\"cwd\" is not a text");
  CtlRequest request;
  for (const Json::Value& argument : arguments) {
    if (!argument.isString()) return Bad("an argument is not a text");
    if (argument.asString().find('\0') != std::string::npos) return Bad("an argument holds a NUL character");
    request.arguments.push_back(argument.asString());
  }
  request.workingFolder = folder.asString();
  if (!request.workingFolder.is_absolute()) return Bad("\"cwd\" is not an absolute folder");
  return {std::move(request), {}};
}

std::string EncodeAnswer(const CtlAnswer& answer) {
  Json::Value json(Json::objectValue);
  if (answer.runHere) {
    json["here"] = true;
  } else {
    json["exit"] = answer.exitCode;
    json["out"] = answer.out;
    json["err"] = answer.err;
  }
  return OneLine(json);
}

std::optional<CtlAnswer> ParseAnswer(std::string_view line) {
  if (line.size() > kMaxAnswerBytes) return std::nullopt;
  const std::optional<Json::Value> json = ParseObject(line);
  if (!json) return std::nullopt;
  CtlAnswer answer;
  if (json->isMember("here")) {
    if (!(*json)["here"].isBool() || !(*json)["here"].asBool()) return std::nullopt;
    answer.runHere = true;
    return answer;
  }
  const Json::Value& exit = (*json)["exit"];
  const Json::Value& out = (*json)["out"];
  const Json::Value& err = (*json)["err"];
  if (!exit.isInt() || exit.asInt() < 0 || exit.asInt() > 255 || !out.isString() || !err.isString())
    return std::nullopt;
  answer.exitCode = exit.asInt();
  answer.out = out.asString();
  answer.err = err.asString();
  return answer;
}

}  // namespace korva::ctl
