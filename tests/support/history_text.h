#pragma once

// The head of a history as the trainer writes it: the declaration, the data packet and the six
// field descriptions, up to and with "</FIELDS>". Tests of every folder build their files on it.
namespace tecladim::testing_support {

inline constexpr const char* TrainerHistoryHead =
    "<?xml version=\"1.0\" standalone=\"yes\"?>  <DATAPACKET Version=\"2.0\"><METADATA><FIELDS>"
    "<FIELD attrname=\"licao\" fieldtype=\"i4\"/><FIELD attrname=\"data\" fieldtype=\"dateTime\"/>"
    "<FIELD attrname=\"erros\" fieldtype=\"i4\"/><FIELD attrname=\"inicio\" fieldtype=\"dateTime\"/>"
    "<FIELD attrname=\"fim\" fieldtype=\"dateTime\"/><FIELD attrname=\"tempo\" fieldtype=\"dateTime\"/>"
    "</FIELDS>";

}  // namespace tecladim::testing_support
