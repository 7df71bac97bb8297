#pragma once
// The DMX default-value dialog's XML document and the channel count it reads from ParGen.xml.

class TComponent;
class TXMLDocument;

// The dialog's XML document, owned by Owner (the grid's and the XML layer's headers cannot meet
// in one file: both name a TNodeType).
TXMLDocument* Create_DMX_Document(TComponent* Owner);
// The channel count of ParGen.xml (loaded into Doc); 512 when the file, the key or a number is
// missing, and for a count the DMX universe cannot hold. Raises when the file is not XML.
int Load_DMX_Channel_Count(TXMLDocument& Doc);
