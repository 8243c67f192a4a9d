#include "common/Result.h"

namespace korva {

std::string Error::ToString() const {
  std::string place;
  if (!file.empty()) {
    place = "In file " + file;
    if (line > 0) {
      place += ", line " + std::to_string(line);
      if (column > 0) place += ", column " + std::to_string(column);
    } else if (hasOffset) {
      place += ", at byte " + std::to_string(offset);
    }
  } else if (line > 0) {
    place = "line " + std::to_string(line);
    if (column > 0) place += ", column " + std::to_string(column);
  } else if (hasOffset) {
    place = "at byte " + std::to_string(offset);
  }
  return place.empty() ? message : place + ": " + message;
}

Error Error::InFile(std::string file, std::string message, std::size_t line) {
  Error error;
  error.file = std::move(file);
  error.line = line;
  error.message = std::move(message);
  return error;
}

Error Error::AtByte(std::size_t offset, std::string message) {
  Error error;
  error.offset = offset;
  error.hasOffset = true;
  error.message = std::move(message);
  return error;
}

Error Error::Plain(std::string message) {
  Error error;
  error.message = std::move(message);
  return error;
}

}  // namespace korva
