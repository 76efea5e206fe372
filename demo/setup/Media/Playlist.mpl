<?xml version="1.0" encoding="UTF-8"?>
<MPL Version="2.0" Title="Welcome to Tunaro">
  <Item><Field Name="Filename">Sample Tone.wav</Field><Field Name="Name">Sample Tone</Field></Item>
</MPL>
