<?xml version="1.0" encoding="UTF-8"?>
<DefaultList>
  <PlayerList>
    <LIST Path="/music/晴天.mp3" Title="晴天" Artist="周杰伦" Url="0" Ltime="0.00283564814814815"/>
    <LIST Path="http://radio.example/live?a=1&amp;b=2" Title="Radio" Artist="" Url="1" Ltime="0"/>
  </PlayerList>
</DefaultList>
