#pragma once
// The files of the DMX default-value dialog: the channel count of ParGen.xml and the rows of
// DMX_Default_Values.xml, read and written through the dialog's XML document.
#include <string>
#include <vector>

class TComponent;
class TXMLDocument;

struct TDMX_Default_Row {
    std::string Default_Value;
    std::string Mnemonic;
};

// The dialog's XML document, owned by Owner (the grid's and the XML layer's headers cannot meet
// in one file: both name a TNodeType).
TXMLDocument* Create_DMX_Document(TComponent* Owner);
// The channel count of ParGen.xml (loaded into Doc); 512 when the file, the key or a number is
// missing, and for a count the DMX universe cannot hold. Raises when the file is not XML.
int Load_DMX_Channel_Count(TXMLDocument& Doc);
// The first Channels rows of DMX_Default_Values.xml (loaded into Doc); none without the file.
// Raises when the file is not XML.
std::vector<TDMX_Default_Row> Load_DMX_Default_Rows(TXMLDocument& Doc, int Channels);
// Replaces DMX_Default_Values.xml with Rows, one per channel.
void Save_DMX_Default_Rows(TXMLDocument& Doc, const std::vector<TDMX_Default_Row>& Rows);
