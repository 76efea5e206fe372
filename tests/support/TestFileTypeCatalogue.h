// A small file type catalogue ("FileAssociations.xml") for machines whose
// install reads one: audio, video, data and playlist types, defaults, engine
// lists and MIME types. A set-up or program without it ends the installer
// (the catalogue's failure is fatal), so fixtures that install need it.
#pragma once

constexpr const char* kTestFileTypeCatalogue = R"(<PMFA version="1">
  <DescriptionTypes><Audio>MP3 Audio (mp3);Wave Audio (wav)</Audio><Video>Matroska Video (mkv)</Video>
    <Data>Disc Image (dat);Odd Data (zzz)</Data><Playlist>Tunaro Playlist (mpl)</Playlist></DescriptionTypes>
  <DefaultFileTypes>mp3;wav;mkv</DefaultFileTypes>
  <DefaultAssocFileTypes>mp3;mkv</DefaultAssocFileTypes><PMTypes>mp3;wav;mpl</PMTypes><OTTypes>mkv</OTTypes>
  <MimeAssociations><Audio><Type Name="mp3">audio/mpeg;audio/x-mp3</Type><Type Name="dat">video/x-dat</Type></Audio>
  </MimeAssociations></PMFA>)";
