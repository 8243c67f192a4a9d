// The request and answer lines between korvactl and the running program: what each side accepts,
// and the one-line reason a request is refused.

#include <gtest/gtest.h>

#include "ctl/CtlProtocol.h"

namespace korva::ctl {
namespace {

TEST(CtlProtocol, RequestsGoThereAndBack) {
  const CtlRequest sent{{"profiles", "mouse", "export", "Game \"1\"", "out\nfile.dat", "\xE6\xB8\xB8"}, "/home/u/dir"};
  const std::string line = EncodeRequest(sent);
  EXPECT_EQ(line.find('\n'), std::string::npos);
  const RequestOutcome parsed = ParseRequest(line);
  ASSERT_TRUE(parsed.request) << parsed.error;
  EXPECT_EQ(parsed.request->arguments, sent.arguments);
  EXPECT_EQ(parsed.request->workingFolder, sent.workingFolder);
}

TEST(CtlProtocol, BadRequestsSayWhy) {
  struct Bad {
    std::string line;
    std::string says;
  };
  const Bad cases[] = {
      {"", "not a korvactl request"},
      {"QUENTAVI_001", "not a korvactl request"},
      {"KORVACTL", "not a korvactl request"},
      {"KORVACTL ", "not a JSON object"},
      {"KORVACTL [\"list\"]", "not a JSON object"},
      {"KORVACTL {\"args\":[\"list\"],\"cwd\":\"/\"} trailing", "not a JSON object"},
      {"KORVACTL {\"args\":[\"list\"],\"args\":[],\"cwd\":\"/\"}", "not a JSON object"},
      {"KORVACTL {\"cwd\":\"/\"}", "\"args\" is not a list"},
      {"KORVACTL {\"args\":\"list\",\"cwd\":\"/\"}", "\"args\" is not a list"},
      {"KORVACTL {\"args\":[\"list\",3],\"cwd\":\"/\"}", "an argument is not a text"},
      {"KORVACTL {\"args\":[\"a\\u0000b\"],\"cwd\":\"/\"}", "NUL character"},
      {"KORVACTL {\"args\":[\"list\"]}", "\"cwd\" is not a text"},
      {"KORVACTL {\"args\":[\"list\"],\"cwd\":\"home\"}", "not an absolute folder"},
      {EncodeRequest({std::vector<std::string>(kMaxRequestArguments + 1, "x"), "/"}), "more than 64 arguments"},
      {EncodeRequest({{std::string(kMaxRequestBytes, 'x')}, "/"}), "longer than 16384 bytes"},
      {"KORVACTL " + std::string(5000, '[') , "not a JSON object"},
  };
  for (const Bad& c : cases) {
    SCOPED_TRACE(c.line.substr(0, 80));
    const RequestOutcome parsed = ParseRequest(c.line);
    EXPECT_FALSE(parsed.request);
    EXPECT_EQ(parsed.error.rfind("bad request: ", 0), 0u) << parsed.error;
    EXPECT_NE(parsed.error.find(c.says), std::string::npos) << parsed.error;
  }
}

TEST(CtlProtocol, AnswersGoThereAndBack) {
  const CtlAnswer answers[] = {
      {false, 0, "stage 1: 3\n{\"a\": \"\xE6\xB8\xB8\"}\n", ""},
      {false, 2, "", "korvactl: unknown command 'x'\n"},
      {true, 0, "", ""},
  };
  for (const CtlAnswer& sent : answers) {
    const std::string line = EncodeAnswer(sent);
    EXPECT_EQ(line.find('\n'), std::string::npos);
    const std::optional<CtlAnswer> parsed = ParseAnswer(line);
    ASSERT_TRUE(parsed) << line;
    EXPECT_EQ(parsed->runHere, sent.runHere);
    EXPECT_EQ(parsed->exitCode, sent.exitCode);
    EXPECT_EQ(parsed->out, sent.out);
    EXPECT_EQ(parsed->err, sent.err);
  }
}

TEST(CtlProtocol, NotAnAnswer) {
  const std::string lines[] = {
      "",
      "QUENTAVI_001",
      "{\"exit\":0,\"out\":\"\"}",
      "{\"exit\":\"0\",\"out\":\"\",\"err\":\"\"}",
      "{\"exit\":-1,\"out\":\"\",\"err\":\"\"}",
      "{\"exit\":256,\"out\":\"\",\"err\":\"\"}",
      "{\"exit\":0,\"out\":1,\"err\":\"\"}",
      "{\"here\":false}",
      "{\"exit\":0,\"out\":\"" + std::string(kMaxAnswerBytes, 'x') + "\",\"err\":\"\"}",
  };
  for (const std::string& line : lines) EXPECT_FALSE(ParseAnswer(line)) << line.substr(0, 80);
}

}  // namespace
}  // namespace korva::ctl
