<?xml version="1.0"?>
<!DOCTYPE R [<!ENTITY e "ee">]>
<!-- top --><R a="&e;"><?pi data?>text<PlayerList>mixed<Track Title="x&e;&#x4E2D;" Url="True" Ltime="1,5E-5"/><![CDATA[<raw>]]></PlayerList><PlayerList><LIST/></PlayerList></R>
