#include "settings/ContactFile.h"

#include "core/TextFile.h"

namespace tolvane {

bool Contact::operator==(const Contact& other) const {
  return phone == other.phone && homepage == other.homepage && email == other.email &&
         cellPhone == other.cellPhone && websites == other.websites;
}

Contact ParseContact(const std::vector<std::string>& lines) {
  Contact contact;
  contact.phone = LineOrEmpty(lines, 0);
  contact.homepage = LineOrEmpty(lines, 1);
  contact.email = LineOrEmpty(lines, 2);
  contact.cellPhone = LineOrEmpty(lines, 3);
  contact.websites = LineOrEmpty(lines, 4);
  return contact;
}

std::string FormatContact(const Contact& contact) {
  std::string text;
  for (const std::string* field : {&contact.phone, &contact.homepage, &contact.email,
                                   &contact.cellPhone, &contact.websites}) {
    text += OneLine(*field);
    text += '\n';
  }
  return text;
}

}  // namespace tolvane
