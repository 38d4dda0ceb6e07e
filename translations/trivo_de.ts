<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>DHCPThread</name>
    <message>
        <source>Obtaining IP Address from DHCP for Control LAN...</source>
        <translation>IP-Adresse für das Steuer-LAN wird per DHCP bezogen...</translation>
    </message>
    <message>
        <source>Obtaining IP Address from DHCP for Media LAN...</source>
        <translation>IP-Adresse für das Medien-LAN wird per DHCP bezogen...</translation>
    </message>
    <message>
        <source>Obtaining IP Address from DHCP for Media 2 LAN...</source>
        <translation>IP-Adresse für das Medien-LAN 2 wird per DHCP bezogen...</translation>
    </message>
    <message>
        <source>Obtaining IP Address from DHCP for unknown LAN...</source>
        <translation>IP-Adresse für ein unbekanntes LAN wird per DHCP bezogen...</translation>
    </message>
    <message>
        <source>.</source>
        <translation>.</translation>
    </message>
    <message>
        <source>Could not obtain lease from a DHCP server</source>
        <translation>Von keinem DHCP-Server konnte eine Adresse bezogen werden</translation>
    </message>
</context>
<context>
    <name>DevicePage</name>
    <message>
        <source>Trivo Config</source>
        <translation>Trivo-Konfiguration</translation>
    </message>
    <message>
        <source>Update</source>
        <translation>Aktualisierung</translation>
    </message>
    <message>
        <source>Info</source>
        <translation>Info</translation>
    </message>
    <message>
        <source>USB</source>
        <translation>USB</translation>
    </message>
    <message>
        <source>LAN</source>
        <translation>LAN</translation>
    </message>
    <message>
        <source>Connected</source>
        <translation>Verbunden</translation>
    </message>
    <message>
        <source>LAN:</source>
        <translation>LAN:</translation>
    </message>
    <message>
        <source>USB:</source>
        <translation>USB:</translation>
    </message>
    <message>
        <source>Audio</source>
        <translation>Audio</translation>
    </message>
    <message>
        <source>Power</source>
        <translation>Strom</translation>
    </message>
    <message>
        <source>Media LAN 1</source>
        <translation>Medien-LAN 1</translation>
    </message>
    <message>
        <source>Media LAN 2</source>
        <translation>Medien-LAN 2</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>Unbekannt</translation>
    </message>
    <message>
        <source>USB 1</source>
        <translation>USB 1</translation>
    </message>
    <message>
        <source>USB 2</source>
        <translation>USB 2</translation>
    </message>
    <message>
        <source>USB 3</source>
        <translation>USB 3</translation>
    </message>
    <message>
        <source>USB 4</source>
        <translation>USB 4</translation>
    </message>
    <message>
        <source>Port 1</source>
        <translation>Anschluss 1</translation>
    </message>
    <message>
        <source>Port 2</source>
        <translation>Anschluss 2</translation>
    </message>
    <message>
        <source>Port 3</source>
        <translation>Anschluss 3</translation>
    </message>
    <message>
        <source>Port 4</source>
        <translation>Anschluss 4</translation>
    </message>
    <message>
        <source>Ready</source>
        <translation>Bereit</translation>
    </message>
    <message>
        <source>HDMI</source>
        <translation>HDMI</translation>
    </message>
    <message>
        <source>SDI</source>
        <translation>SDI</translation>
    </message>
    <message>
        <source>USB Storage</source>
        <translation>USB-Speicher</translation>
    </message>
    <message>
        <source>SD Card</source>
        <translation>SD-Karte</translation>
    </message>
    <message>
        <source>SDI In</source>
        <translation>SDI-Eingang</translation>
    </message>
    <message>
        <source>SDI Loop</source>
        <translation>SDI-Loop</translation>
    </message>
    <message>
        <source>SDI Out</source>
        <translation>SDI-Ausgang</translation>
    </message>
    <message>
        <source>HDMI Out</source>
        <translation>HDMI-Ausgang</translation>
    </message>
    <message>
        <source>Media LAN</source>
        <translation>Medien-LAN</translation>
    </message>
    <message>
        <source>Media LAN:</source>
        <translation>Medien-LAN:</translation>
    </message>
    <message>
        <source>ETH 1</source>
        <translation>ETH 1</translation>
    </message>
    <message>
        <source>ETH 2</source>
        <translation>ETH 2</translation>
    </message>
    <message>
        <source>ETH 1:</source>
        <translation>ETH 1:</translation>
    </message>
    <message>
        <source>ETH 2:</source>
        <translation>ETH 2:</translation>
    </message>
    <message>
        <source>HDMI 1</source>
        <translation>HDMI 1</translation>
    </message>
    <message>
        <source>HDMI 2</source>
        <translation>HDMI 2</translation>
    </message>
    <message>
        <source>SDI 1</source>
        <translation>SDI 1</translation>
    </message>
    <message>
        <source>SDI 2</source>
        <translation>SDI 2</translation>
    </message>
    <message>
        <source>Ref In</source>
        <translation>Ref-In</translation>
    </message>
    <message>
        <source>Media LAN 1:</source>
        <translation>Medien-LAN 1:</translation>
    </message>
    <message>
        <source>Media LAN 2:</source>
        <translation>Medien-LAN 2:</translation>
    </message>
    <message>
        <source>QSFP 1</source>
        <translation>QSFP 1</translation>
    </message>
    <message>
        <source>QSFP 2</source>
        <translation>QSFP 2</translation>
    </message>
    <message>
        <source>SDI 3</source>
        <translation>SDI 3</translation>
    </message>
    <message>
        <source>SDI 4</source>
        <translation>SDI 4</translation>
    </message>
    <message>
        <source>IP Address Type:</source>
        <translation>IP-Adresstyp:</translation>
    </message>
    <message>
        <source>DHCP</source>
        <translation>DHCP</translation>
    </message>
    <message>
        <source>Static</source>
        <translation>Statisch</translation>
    </message>
    <message>
        <source>IP Address:</source>
        <translation>IP-Adresse:</translation>
    </message>
    <message>
        <source>Subnet Mask:</source>
        <translation>Subnetzmaske:</translation>
    </message>
    <message>
        <source>Gateway:</source>
        <translation>Gateway:</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Übernehmen</translation>
    </message>
    <message>
        <source>Speed:</source>
        <translation>Geschwindigkeit:</translation>
    </message>
    <message>
        <source>UPnP Host:</source>
        <translation>UPnP-Host:</translation>
    </message>
    <message>
        <source>Enable</source>
        <translation>Aktivieren</translation>
    </message>
    <message>
        <source>Disable</source>
        <translation>Deaktivieren</translation>
    </message>
    <message>
        <source>Disabled</source>
        <translation>Deaktiviert</translation>
    </message>
    <message>
        <source>MAC Address:</source>
        <translation>MAC-Adresse:</translation>
    </message>
    <message>
        <source>Open Web Page</source>
        <translation>Webseite öffnen</translation>
    </message>
    <message>
        <source>Installed:</source>
        <translation>Installiert:</translation>
    </message>
    <message>
        <source>Unknown Version</source>
        <translation>Unbekannte Version</translation>
    </message>
    <message>
        <source>Progress:</source>
        <translation>Fortschritt:</translation>
    </message>
    <message>
        <source>Browse...</source>
        <translation>Durchsuchen...</translation>
    </message>
    <message>
        <source>For latest firmware:</source>
        <translation>Aktuelle Firmware:</translation>
    </message>
    <message>
        <source>System Name:</source>
        <translation>Systemname:</translation>
    </message>
    <message>
        <source>Set System Name</source>
        <translation>Systemnamen setzen</translation>
    </message>
    <message>
        <source>Type:</source>
        <translation>Typ:</translation>
    </message>
    <message>
        <source>Authentication:</source>
        <translation>Authentifizierung:</translation>
    </message>
    <message>
        <source>Safeboot Version:</source>
        <translation>Safeboot-Version:</translation>
    </message>
    <message>
        <source>Bootloader Version:</source>
        <translation>Bootloader-Version:</translation>
    </message>
</context>
<context>
    <name>DiscoverThread</name>
    <message>
        <source>Serial Number Not Available</source>
        <translation>Seriennummer nicht verfügbar</translation>
    </message>
    <message>
        <source>Unknown Device</source>
        <translation>Unbekanntes Gerät</translation>
    </message>
    <message>
        <source>Looking for Velto devices...</source>
        <translation>Suche nach Velto-Geräten...</translation>
    </message>
    <message>
        <source>No Velto Trivo devices found.</source>
        <translation>Keine Velto-Trivo-Geräte gefunden.</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>&amp;Revert to Factory Settings</source>
        <translation>Auf &amp;Werkseinstellungen zurücksetzen</translation>
    </message>
    <message>
        <source>&amp;Refresh</source>
        <translation>&amp;Aktualisieren</translation>
    </message>
    <message>
        <source>Refresh device list</source>
        <translation>Geräteliste aktualisieren</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>Close the window and stop</source>
        <translation>Fenster schließen und Programm beenden</translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation>&amp;Ausschneiden</translation>
    </message>
    <message>
        <source>Cut the current selection&apos;s contents to the clipboard</source>
        <translation>Die aktuelle Auswahl in die Zwischenablage ausschneiden</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Kopieren</translation>
    </message>
    <message>
        <source>Copy the current selection&apos;s contents to the clipboard</source>
        <translation>Die aktuelle Auswahl in die Zwischenablage kopieren</translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation>&amp;Einfügen</translation>
    </message>
    <message>
        <source>Paste the clipboard&apos;s contents into the current selection</source>
        <translation>Den Inhalt der Zwischenablage an der aktuellen Auswahl einfügen</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>Ü&amp;ber</translation>
    </message>
    <message>
        <source>Show the application&apos;s About box</source>
        <translation>Informationen über das Programm anzeigen</translation>
    </message>
    <message>
        <source>&amp;Manual</source>
        <translation>&amp;Handbuch</translation>
    </message>
    <message>
        <source>Download Converter Manual</source>
        <translation>Handbuch des Konverters herunterladen</translation>
    </message>
    <message>
        <source>Global status information goes here.</source>
        <translation>Hier erscheinen allgemeine Statusmeldungen.</translation>
    </message>
    <message>
        <source>SAFEBOOT MODE</source>
        <translation>SAFEBOOT-MODUS</translation>
    </message>
    <message>
        <source>Auto Update</source>
        <translation>Automatisch aktualisieren</translation>
    </message>
    <message>
        <source>Update All</source>
        <translation>Alle aktualisieren</translation>
    </message>
    <message>
        <source>RegNum:</source>
        <translation>Reg.-Nr.:</translation>
    </message>
    <message>
        <source>Value:</source>
        <translation>Wert:</translation>
    </message>
    <message>
        <source>Poke</source>
        <translation>Schreiben</translation>
    </message>
    <message>
        <source>MainWindow::ChangeModuleType(): Unhandled module ID:
0x%1.</source>
        <translation>MainWindow::ChangeModuleType(): Nicht unterstützte Modul-ID:
0x%1.</translation>
    </message>
    <message>
        <source>About Trivo-Setup</source>
        <translation>Über Trivo-Setup</translation>
    </message>
    <message>
        <source>Looking for Velto devices...</source>
        <translation>Suche nach Velto-Geräten...</translation>
    </message>
    <message>
        <source>Changing Module data disabled during firmware update.</source>
        <translation>Moduldaten können während des Firmware-Updates nicht geändert werden.</translation>
    </message>
    <message>
        <source>To be determined</source>
        <translation>Wird noch ermittelt</translation>
    </message>
    <message>
        <source>Enabled</source>
        <translation>Aktiviert</translation>
    </message>
    <message>
        <source>Disabled</source>
        <translation>Deaktiviert</translation>
    </message>
    <message>
        <source>Static</source>
        <translation>Statisch</translation>
    </message>
    <message>
        <source>DHCP</source>
        <translation>DHCP</translation>
    </message>
    <message>
        <source>Connected</source>
        <translation>Verbunden</translation>
    </message>
    <message>
        <source>Disconnected</source>
        <translation>Getrennt</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>Unbekannt</translation>
    </message>
    <message>
        <source>No Device</source>
        <translation>Kein Gerät</translation>
    </message>
    <message>
        <source>Version: %1  Sn: %2</source>
        <translation>Version: %1  SN: %2</translation>
    </message>
    <message>
        <source>Unknown Device</source>
        <translation>Unbekanntes Gerät</translation>
    </message>
    <message>
        <source>Confirm Factory Reset</source>
        <translation>Zurücksetzen auf Werkseinstellungen bestätigen</translation>
    </message>
    <message>
        <source>All settings, including network settings, will be reverted to factory defaults.</source>
        <translation>Alle Einstellungen, auch die Netzwerkeinstellungen, werden auf die Werkseinstellungen zurückgesetzt.</translation>
    </message>
    <message>
        <source>Update succeeded</source>
        <translation>Aktualisierung erfolgreich</translation>
    </message>
    <message>
        <source>Uploading unavailable</source>
        <translation>Hochladen nicht möglich</translation>
    </message>
    <message>
        <source>Invalid firmware file</source>
        <translation>Ungültige Firmware-Datei</translation>
    </message>
    <message>
        <source>File transfer failed</source>
        <translation>Dateiübertragung fehlgeschlagen</translation>
    </message>
    <message>
        <source>Image verification failed</source>
        <translation>Prüfung des Abbilds fehlgeschlagen</translation>
    </message>
    <message>
        <source>Firmware image is for a different product</source>
        <translation>Das Firmware-Abbild ist für ein anderes Produkt bestimmt</translation>
    </message>
    <message>
        <source>No firmware image found.  Did you upload anything yet?</source>
        <translation>Kein Firmware-Abbild gefunden.  Wurde bereits etwas hochgeladen?</translation>
    </message>
    <message>
        <source>Firmware image is too large</source>
        <translation>Das Firmware-Abbild ist zu groß</translation>
    </message>
    <message>
        <source>Firmware image checksum failed</source>
        <translation>Prüfsumme des Firmware-Abbilds falsch</translation>
    </message>
    <message>
        <source>Firmware image digital signature check failed</source>
        <translation>Prüfung der digitalen Signatur des Firmware-Abbilds fehlgeschlagen</translation>
    </message>
    <message>
        <source>Image commit failed</source>
        <translation>Übernahme des Abbilds fehlgeschlagen</translation>
    </message>
    <message>
        <source>Could not reboot module</source>
        <translation>Das Modul konnte nicht neu gestartet werden</translation>
    </message>
    <message>
        <source>Could not reconnect with module</source>
        <translation>Die Verbindung zum Modul konnte nicht wiederhergestellt werden</translation>
    </message>
    <message>
        <source>Module not connected</source>
        <translation>Modul nicht verbunden</translation>
    </message>
    <message>
        <source>Update aborted</source>
        <translation>Aktualisierung abgebrochen</translation>
    </message>
    <message>
        <source>Unknown error</source>
        <translation>Unbekannter Fehler</translation>
    </message>
    <message>
        <source>%1: factory settings restored.</source>
        <translation>%1: Werkseinstellungen wiederhergestellt.</translation>
    </message>
    <message>
        <source>%1: factory reset failed (%2).</source>
        <translation>%1: Zurücksetzen auf Werkseinstellungen fehlgeschlagen (%2).</translation>
    </message>
    <message>
        <source>Release the lock</source>
        <translation>Sperre freigeben</translation>
    </message>
    <message>
        <source>Release the Update Lock</source>
        <translation>Update-Sperre freigeben</translation>
    </message>
    <message>
        <source>The update lock of the %1 does not say who set it: another program may be updating the module right now, and releasing the lock would break that update.

Release the lock only if no other program is updating the module. Release it?</source>
        <translation>Die Update-Sperre des %1 verrät nicht, wer sie gesetzt hat: Möglicherweise aktualisiert gerade ein anderes Programm das Modul, und das Freigeben der Sperre würde dieses Update abbrechen.

Geben Sie die Sperre nur frei, wenn kein anderes Programm das Modul aktualisiert. Freigeben?</translation>
    </message>
    <message>
        <source>The update lock was released.</source>
        <translation>Die Update-Sperre wurde freigegeben.</translation>
    </message>
    <message>
        <source>The update lock was not released (%1).</source>
        <translation>Die Update-Sperre wurde nicht freigegeben (%1).</translation>
    </message>
</context>
<context>
    <name>ModelRegistry</name>
    <message>
        <source>Network</source>
        <translation>Netzwerk</translation>
    </message>
    <message>
        <source>Control LAN</source>
        <translation>Steuer-LAN</translation>
    </message>
    <message>
        <source>Media LAN 1</source>
        <translation>Medien-LAN 1</translation>
    </message>
    <message>
        <source>Media LAN 2</source>
        <translation>Medien-LAN 2</translation>
    </message>
    <message>
        <source>Control Network</source>
        <translation>Steuernetzwerk</translation>
    </message>
    <message>
        <source>Media Network</source>
        <translation>Mediennetzwerk</translation>
    </message>
    <message>
        <source>Primary Network</source>
        <translation>Primäres Netzwerk</translation>
    </message>
    <message>
        <source>Secondary Network</source>
        <translation>Sekundäres Netzwerk</translation>
    </message>
</context>
<context>
    <name>NetworkRules</name>
    <message>
        <source> Media LAN</source>
        <translation> Medien-LAN</translation>
    </message>
    <message>
        <source> Media 2 LAN</source>
        <translation> Medien-LAN 2</translation>
    </message>
    <message>
        <source>To be determined by DHCP</source>
        <translation>Wird per DHCP ermittelt</translation>
    </message>
    <message>
        <source> (error %1)</source>
        <translation> (Fehler %1)</translation>
    </message>
    <message>
        <source>Bogus IP Address</source>
        <translation>Ungültige IP-Adresse</translation>
    </message>
    <message>
        <source>Bogus Subnet Mask</source>
        <translation>Ungültige Subnetzmaske</translation>
    </message>
    <message>
        <source>Invalid subnet mask:

%1</source>
        <translation>Ungültige Subnetzmaske:

%1</translation>
    </message>
    <message>
        <source>Invalid IP Address:

%1</source>
        <translation>Ungültige IP-Adresse:

%1</translation>
    </message>
    <message>
        <source>Incomplete subnet mask:

%1</source>
        <translation>Unvollständige Subnetzmaske:

%1</translation>
    </message>
    <message>
        <source>Bogus Gateway Address</source>
        <translation>Ungültige Gateway-Adresse</translation>
    </message>
    <message>
        <source>Invalid gateway address:

%1</source>
        <translation>Ungültige Gateway-Adresse:

%1</translation>
    </message>
    <message>
        <source>Network Change Confirmation</source>
        <translation>Netzwerkänderung bestätigen</translation>
    </message>
    <message>
        <source>Change the </source>
        <translation>Für </translation>
    </message>
    <message>
        <source> to the following:

Address Type: </source>
        <translation> Folgendes einstellen?

Adresstyp: </translation>
    </message>
    <message>
        <source>DHCP</source>
        <translation>DHCP</translation>
    </message>
    <message>
        <source>Static</source>
        <translation>Statisch</translation>
    </message>
    <message>
        <source>
IP Address: </source>
        <translation>
IP-Adresse: </translation>
    </message>
    <message>
        <source>
Netmask: </source>
        <translation>
Netzmaske: </translation>
    </message>
    <message>
        <source>
Gateway: </source>
        <translation>
Gateway: </translation>
    </message>
    <message>
        <source>
Speed: %1</source>
        <translation>
Geschwindigkeit: %1</translation>
    </message>
    <message>
        <source>Connected to module</source>
        <translation>Mit dem Modul verbunden</translation>
    </message>
    <message>
        <source>Set Network Configuration Failed</source>
        <translation>Netzwerkkonfiguration konnte nicht gesetzt werden</translation>
    </message>
    <message>
        <source>DHCP Service is already running</source>
        <translation>Der DHCP-Dienst läuft bereits</translation>
    </message>
    <message>
        <source>Set UPnP Host failed</source>
        <translation>UPnP-Host konnte nicht gesetzt werden</translation>
    </message>
    <message>
        <source>Incomplete LAN Configuration</source>
        <translation>Unvollständige LAN-Konfiguration</translation>
    </message>
    <message>
        <source>This ethernet interface doesn&apos;t have an IP address.</source>
        <translation>Diese Ethernet-Schnittstelle hat keine IP-Adresse.</translation>
    </message>
    <message>
        <source>Web Access Authentication</source>
        <translation>Authentifizierung für den Webzugang</translation>
    </message>
    <message>
        <source>The authentication setting could not be read.</source>
        <translation>Die Authentifizierungseinstellung konnte nicht gelesen werden.</translation>
    </message>
    <message>
        <source>Authentication is already disabled.</source>
        <translation>Die Authentifizierung ist bereits deaktiviert.</translation>
    </message>
    <message>
        <source>Are you sure you want to disable authentication?</source>
        <translation>Soll die Authentifizierung wirklich deaktiviert werden?</translation>
    </message>
    <message>
        <source>Are you sure you want to disable authentication and reset the password to the factory default value?</source>
        <translation>Soll die Authentifizierung wirklich deaktiviert und das Passwort auf den Werkszustand zurückgesetzt werden?</translation>
    </message>
    <message>
        <source>Authentication Settings</source>
        <translation>Authentifizierungseinstellungen</translation>
    </message>
    <message>
        <source>Authentication could not be disabled.</source>
        <translation>Die Authentifizierung konnte nicht deaktiviert werden.</translation>
    </message>
    <message>
        <source>Authentication disabled.</source>
        <translation>Authentifizierung deaktiviert.</translation>
    </message>
    <message>
        <source>Authentication disabled, but the password could not be reset to the factory default.</source>
        <translation>Authentifizierung deaktiviert, aber das Passwort konnte nicht auf den Werkszustand zurückgesetzt werden.</translation>
    </message>
    <message>
        <source>Authentication disabled and password reset to factory default.</source>
        <translation>Authentifizierung deaktiviert und Passwort auf den Werkszustand zurückgesetzt.</translation>
    </message>
    <message>
        <source>Set Module Name failed with error %1</source>
        <translation>Modulname konnte nicht gesetzt werden (Fehler %1)</translation>
    </message>
    <message>
        <source>No Web Browser</source>
        <translation>Kein Webbrowser</translation>
    </message>
    <message>
        <source>No web browser could be started. Open this address in one:

%1</source>
        <translation>Es konnte kein Webbrowser gestartet werden. Öffnen Sie diese Adresse in einem Browser:

%1</translation>
    </message>
</context>
<context>
    <name>ReconnectThread</name>
    <message>
        <source>Waiting for reboot to complete</source>
        <translation>Warten auf das Ende des Neustarts</translation>
    </message>
    <message>
        <source>Connection in progress - Module reconnect failed.</source>
        <translation>Verbindungsaufbau - Wiederverbinden mit dem Modul fehlgeschlagen.</translation>
    </message>
    <message>
        <source>Reconnecting...</source>
        <translation>Verbindung wird wiederhergestellt...</translation>
    </message>
    <message>
        <source>Module update failed.</source>
        <translation>Aktualisierung des Moduls fehlgeschlagen.</translation>
    </message>
    <message>
        <source>Connected to the module.</source>
        <translation>Mit dem Modul verbunden.</translation>
    </message>
</context>
<context>
    <name>SessionRules</name>
    <message>
        <source>No Device</source>
        <translation>Kein Gerät</translation>
    </message>
    <message>
        <source>Wrong module</source>
        <translation>Falsches Modul</translation>
    </message>
    <message>
        <source>Unsupported module</source>
        <translation>Nicht unterstütztes Modul</translation>
    </message>
    <message>
        <source>Connection error</source>
        <translation>Verbindungsfehler</translation>
    </message>
    <message>
        <source>Protocol mismatch</source>
        <translation>Protokoll passt nicht</translation>
    </message>
    <message>
        <source>Unknown device</source>
        <translation>Unbekanntes Gerät</translation>
    </message>
    <message>
        <source>Connected to module</source>
        <translation>Mit dem Modul verbunden</translation>
    </message>
    <message>
        <source>Connection to module failed: (</source>
        <translation>Verbindung zum Modul fehlgeschlagen: (</translation>
    </message>
    <message>
        <source>Unknown connection error</source>
        <translation>Unbekannter Verbindungsfehler</translation>
    </message>
    <message>
        <source>No permission to open %1: add your user to the dialout or plugdev group, or install the udev rule from packaging/udev, then plug the module in again.</source>
        <translation>Keine Berechtigung, %1 zu öffnen: Fügen Sie Ihren Benutzer der Gruppe dialout oder plugdev hinzu oder installieren Sie die udev-Regel aus packaging/udev und stecken Sie das Modul dann erneut ein.</translation>
    </message>
    <message>
        <source>%1 is in use by another program: close the other program that talks to the module, then try again.</source>
        <translation>%1 wird von einem anderen Programm verwendet: Schließen Sie das andere Programm, das mit dem Modul kommuniziert, und versuchen Sie es erneut.</translation>
    </message>
    <message>
        <source>The module is not responding; trying again.</source>
        <translation>Das Modul antwortet nicht; neuer Versuch.</translation>
    </message>
    <message>
        <source>%1 is not responding; trying again.</source>
        <translation>%1 antwortet nicht; neuer Versuch.</translation>
    </message>
    <message>
        <source>The module was disconnected.</source>
        <translation>Die Verbindung zum Modul wurde getrennt.</translation>
    </message>
    <message>
        <source>%1 was disconnected.</source>
        <translation>Die Verbindung zu %1 wurde getrennt.</translation>
    </message>
    <message>
        <source>done</source>
        <translation>erledigt</translation>
    </message>
    <message>
        <source>no answer in time</source>
        <translation>keine Antwort in der erwarteten Zeit</translation>
    </message>
    <message>
        <source>the answer was too short</source>
        <translation>die Antwort war zu kurz</translation>
    </message>
    <message>
        <source>the answer was too long</source>
        <translation>die Antwort war zu lang</translation>
    </message>
    <message>
        <source>the answer was damaged on the way</source>
        <translation>die Antwort kam beschädigt an</translation>
    </message>
    <message>
        <source>the module does not support this request</source>
        <translation>das Modul unterstützt diese Anfrage nicht</translation>
    </message>
    <message>
        <source>the module&apos;s service stopped</source>
        <translation>der Dienst des Moduls wurde beendet</translation>
    </message>
    <message>
        <source>the module has no such setting</source>
        <translation>das Modul hat keine solche Einstellung</translation>
    </message>
    <message>
        <source>the setting is of another type</source>
        <translation>die Einstellung hat einen anderen Typ</translation>
    </message>
    <message>
        <source>the answer was of an unexpected type</source>
        <translation>die Antwort hatte einen unerwarteten Typ</translation>
    </message>
    <message>
        <source>the module gave an unknown answer</source>
        <translation>das Modul gab eine unbekannte Antwort</translation>
    </message>
    <message>
        <source>the module is disconnected</source>
        <translation>die Verbindung zum Modul ist getrennt</translation>
    </message>
    <message>
        <source>unknown error</source>
        <translation>unbekannter Fehler</translation>
    </message>
    <message>
        <source>Now showing %1: the module shown before (%2) is gone.</source>
        <translation>Jetzt angezeigt: %1. Das zuvor angezeigte Modul (%2) ist nicht mehr da.</translation>
    </message>
    <message>
        <source>%1: no answer (no module there, or one that does not respond).</source>
        <translation>%1: keine Antwort (kein Modul angeschlossen oder eines, das nicht antwortet).</translation>
    </message>
</context>
<context>
    <name>TrivoAbout</name>
    <message>
        <source>&lt;p&gt;&lt;b&gt;Velto Trivo-Setup %1&lt;/b&gt;&lt;/p&gt;&lt;p&gt;Copyright &amp;copy; 2026 Velto. All rights reserved. This application updates and controls Velto Trivo products. A USB connection is required.&lt;/p&gt;&lt;p&gt;&lt;/p&gt;&lt;p&gt;This program uses the Qt cross-platform library, licensed under LGPLv3: &lt;a href=&quot;%2&quot;&gt;source code&lt;/a&gt;, &lt;a href=&quot;%3&quot;&gt;licence&lt;/a&gt;.&lt;/p&gt;&lt;p&gt;&lt;/p&gt;&lt;p&gt;Using Qt Version: %4&lt;/p&gt;</source>
        <translation>&lt;p&gt;&lt;b&gt;Velto Trivo-Setup %1&lt;/b&gt;&lt;/p&gt;&lt;p&gt;Copyright &amp;copy; 2026 Velto. Alle Rechte vorbehalten. Dieses Programm aktualisiert und steuert Velto-Trivo-Produkte. Eine USB-Verbindung ist erforderlich.&lt;/p&gt;&lt;p&gt;&lt;/p&gt;&lt;p&gt;Dieses Programm verwendet die plattformübergreifende Qt-Bibliothek unter der LGPLv3: &lt;a href=&quot;%2&quot;&gt;Quellcode&lt;/a&gt;, &lt;a href=&quot;%3&quot;&gt;Lizenz&lt;/a&gt;.&lt;/p&gt;&lt;p&gt;&lt;/p&gt;&lt;p&gt;Verwendete Qt-Version: %4&lt;/p&gt;</translation>
    </message>
</context>
<context>
    <name>UpdateCleanupThread</name>
    <message>
        <source>Update Succeeded</source>
        <translation>Aktualisierung erfolgreich</translation>
    </message>
</context>
<context>
    <name>UpdateFirmwareThread</name>
    <message>
        <source>Firmware image verification query failed.</source>
        <translation>Abfrage der Prüfung des Firmware-Abbilds fehlgeschlagen.</translation>
    </message>
    <message>
        <source>Transferring file </source>
        <translation>Übertrage Datei </translation>
    </message>
    <message>
        <source>File transfer aborted</source>
        <translation>Dateiübertragung abgebrochen</translation>
    </message>
    <message>
        <source>File transfer failed</source>
        <translation>Dateiübertragung fehlgeschlagen</translation>
    </message>
    <message>
        <source>Firmware upload failed</source>
        <translation>Hochladen der Firmware fehlgeschlagen</translation>
    </message>
    <message>
        <source>Firmware upload complete</source>
        <translation>Firmware vollständig hochgeladen</translation>
    </message>
    <message>
        <source>File transfer succeeded</source>
        <translation>Dateiübertragung erfolgreich</translation>
    </message>
    <message>
        <source>File verification failed</source>
        <translation>Prüfung der Datei fehlgeschlagen</translation>
    </message>
    <message>
        <source>Verifying firmware image</source>
        <translation>Firmware-Abbild wird geprüft</translation>
    </message>
    <message>
        <source>File verification request failed</source>
        <translation>Anfrage zur Dateiprüfung fehlgeschlagen</translation>
    </message>
    <message>
        <source>Firmware image verified</source>
        <translation>Firmware-Abbild geprüft</translation>
    </message>
    <message>
        <source>Confirm Update</source>
        <translation>Aktualisierung bestätigen</translation>
    </message>
    <message>
        <source>Commit Uploaded File?</source>
        <translation>Hochgeladene Datei übernehmen?</translation>
    </message>
    <message>
        <source>Committing firmware image</source>
        <translation>Firmware-Abbild wird übernommen</translation>
    </message>
    <message>
        <source>Failed to commit firmware image</source>
        <translation>Firmware-Abbild konnte nicht übernommen werden</translation>
    </message>
    <message>
        <source>Failed to commit firmware image.</source>
        <translation>Firmware-Abbild konnte nicht übernommen werden.</translation>
    </message>
    <message>
        <source>Failed querying firmware image commit state</source>
        <translation>Übernahmestatus des Firmware-Abbilds konnte nicht abgefragt werden</translation>
    </message>
    <message>
        <source>Firmware update FAILED!</source>
        <translation>Firmware-Update FEHLGESCHLAGEN!</translation>
    </message>
    <message>
        <source>Firmware image committed</source>
        <translation>Firmware-Abbild übernommen</translation>
    </message>
</context>
<context>
    <name>UpdateSequence</name>
    <message>
        <source>Could not get upload location.</source>
        <translation>Der Speicherort für das Hochladen konnte nicht ermittelt werden.</translation>
    </message>
    <message>
        <source>The device is busy or in use. Stop operations, or try again in a few seconds.</source>
        <translation>Das Gerät ist beschäftigt oder wird verwendet. Beenden Sie laufende Vorgänge oder versuchen Sie es in einigen Sekunden erneut.</translation>
    </message>
    <message>
        <source>Another system is already updating the device.</source>
        <translation>Ein anderes System aktualisiert das Gerät bereits.</translation>
    </message>
    <message>
        <source>Device upload space unavailable.</source>
        <translation>Auf dem Gerät ist kein Platz zum Hochladen verfügbar.</translation>
    </message>
    <message>
        <source>Upload a file</source>
        <translation>Datei hochladen</translation>
    </message>
    <message>
        <source>.VLTS (*.vlts)</source>
        <translation>.VLTS-Dateien (*.vlts)</translation>
    </message>
    <message>
        <source>Could not open firmware file.</source>
        <translation>Die Firmware-Datei konnte nicht geöffnet werden.</translation>
    </message>
    <message>
        <source>Not Connected</source>
        <translation>Nicht verbunden</translation>
    </message>
    <message>
        <source>Firmware update in progress</source>
        <translation>Firmware-Update läuft</translation>
    </message>
</context>
<context>
    <name>trivoctl</name>
    <message>
        <source>enabled</source>
        <translation>aktiviert</translation>
    </message>
    <message>
        <source>disabled</source>
        <translation>deaktiviert</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Serial number</source>
        <translation>Seriennummer</translation>
    </message>
    <message>
        <source>Product ID</source>
        <translation>Produkt-ID</translation>
    </message>
    <message>
        <source>Model</source>
        <translation>Modell</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>Typ</translation>
    </message>
    <message>
        <source>Software version</source>
        <translation>Softwareversion</translation>
    </message>
    <message>
        <source>Safeboot version</source>
        <translation>Safeboot-Version</translation>
    </message>
    <message>
        <source>Bootloader version</source>
        <translation>Bootloader-Version</translation>
    </message>
    <message>
        <source>Safeboot mode</source>
        <translation>Safeboot-Modus</translation>
    </message>
    <message>
        <source>Authentication</source>
        <translation>Authentifizierung</translation>
    </message>
    <message>
        <source>Mode</source>
        <translation>Modus</translation>
    </message>
    <message>
        <source>Address</source>
        <translation>Adresse</translation>
    </message>
    <message>
        <source>Subnet mask</source>
        <translation>Subnetzmaske</translation>
    </message>
    <message>
        <source>Gateway</source>
        <translation>Gateway</translation>
    </message>
    <message>
        <source>Static address</source>
        <translation>Statische Adresse</translation>
    </message>
    <message>
        <source>Static mask</source>
        <translation>Statische Maske</translation>
    </message>
    <message>
        <source>Static gateway</source>
        <translation>Statisches Gateway</translation>
    </message>
    <message>
        <source>MAC address</source>
        <translation>MAC-Adresse</translation>
    </message>
    <message>
        <source>Link</source>
        <translation>Verbindung</translation>
    </message>
    <message>
        <source>up</source>
        <translation>aktiv</translation>
    </message>
    <message>
        <source>down</source>
        <translation>getrennt</translation>
    </message>
    <message>
        <source>Speed</source>
        <translation>Geschwindigkeit</translation>
    </message>
    <message>
        <source>UPnP</source>
        <translation>UPnP</translation>
    </message>
    <message>
        <source>list [--watch]</source>
        <translation>list [--watch]</translation>
    </message>
    <message>
        <source>probe the candidate ports at once and print port, system name, serial number, product ID and model of every module</source>
        <translation>prüft die infrage kommenden Ports gleichzeitig und gibt Port, Systemnamen, Seriennummer, Produkt-ID und Modell jedes Moduls aus</translation>
    </message>
    <message>
        <source>info [--port PATH | --serial SN | --all]</source>
        <translation>info [--port PATH | --serial SN | --all]</translation>
    </message>
    <message>
        <source>identity, versions, safeboot mode, authentication and, per interface, mode, addresses in force, static set, MAC address, link and speed</source>
        <translation>Identität, Versionen, Safeboot-Modus, Authentifizierung und je Schnittstelle Modus, gültige Adressen, statische Einstellungen, MAC-Adresse, Verbindung und Geschwindigkeit</translation>
    </message>
    <message>
        <source>the module on this port, without probing the others (repeatable)</source>
        <translation>das Modul an diesem Port, ohne die anderen zu prüfen (wiederholbar)</translation>
    </message>
    <message>
        <source>the module with this serial number, found by probing (repeatable)</source>
        <translation>das Modul mit dieser Seriennummer, durch Prüfen gefunden (wiederholbar)</translation>
    </message>
    <message>
        <source>every module found, worked on at once</source>
        <translation>jedes gefundene Modul, alle gleichzeitig bearbeitet</translation>
    </message>
    <message>
        <source>keep printing arrivals and removals until interrupted</source>
        <translation>neu angeschlossene und entfernte Module bis zum Abbruch fortlaufend ausgeben</translation>
    </message>
    <message>
        <source>pure JSON on standard output: one document, or one line per event with --watch; messages and logs go to standard error</source>
        <translation>reines JSON auf der Standardausgabe: ein Dokument oder mit --watch eine Zeile je Ereignis; Meldungen und Protokolle gehen auf die Standardfehlerausgabe</translation>
    </message>
    <message>
        <source>protocol and engine diagnostics on standard error</source>
        <translation>Protokoll- und Engine-Diagnose auf der Standardfehlerausgabe</translation>
    </message>
    <message>
        <source>the program&apos;s version</source>
        <translation>die Version des Programms</translation>
    </message>
    <message>
        <source>this text</source>
        <translation>dieser Text</translation>
    </message>
    <message>
        <source>every selected module succeeded</source>
        <translation>alle ausgewählten Module erfolgreich</translation>
    </message>
    <message>
        <source>no module found (or none answers on the port)</source>
        <translation>kein Modul gefunden (oder keines antwortet am Port)</translation>
    </message>
    <message>
        <source>several modules found and none chosen (use --port, --serial or --all)</source>
        <translation>mehrere Module gefunden und keines ausgewählt (--port, --serial oder --all verwenden)</translation>
    </message>
    <message>
        <source>a port may not be opened by this user</source>
        <translation>dieser Benutzer darf einen Port nicht öffnen</translation>
    </message>
    <message>
        <source>a port is held by another program</source>
        <translation>ein Port wird von einem anderen Programm belegt</translation>
    </message>
    <message>
        <source>the module refused or stopped answering a request</source>
        <translation>das Modul hat eine Anfrage abgelehnt oder nicht mehr beantwortet</translation>
    </message>
    <message>
        <source>a value given is not valid; nothing was sent</source>
        <translation>ein angegebener Wert ist ungültig; nichts wurde gesendet</translation>
    </message>
    <message>
        <source>the firmware update failed</source>
        <translation>das Firmware-Update ist fehlgeschlagen</translation>
    </message>
    <message>
        <source>some of several modules succeeded, others failed</source>
        <translation>bei mehreren Modulen waren manche erfolgreich, andere nicht</translation>
    </message>
    <message>
        <source>%1: the module did not give its %2</source>
        <translation>%1: Das Modul hat %2 nicht geliefert</translation>
    </message>
    <message>
        <source>added</source>
        <translation>hinzugekommen</translation>
    </message>
    <message>
        <source>removed</source>
        <translation>entfernt</translation>
    </message>
    <message>
        <source>No module found.</source>
        <translation>Kein Modul gefunden.</translation>
    </message>
    <message>
        <source>PORT</source>
        <translation>PORT</translation>
    </message>
    <message>
        <source>NAME</source>
        <translation>NAME</translation>
    </message>
    <message>
        <source>SERIAL</source>
        <translation>SERIENNR.</translation>
    </message>
    <message>
        <source>PRODUCT</source>
        <translation>PRODUKT</translation>
    </message>
    <message>
        <source>MODEL</source>
        <translation>MODELL</translation>
    </message>
    <message>
        <source>No module with serial number %1 found.</source>
        <translation>Kein Modul mit der Seriennummer %1 gefunden.</translation>
    </message>
    <message>
        <source>%1 modules found; choose with --port PATH, --serial SN or --all:</source>
        <translation>%1 Module gefunden; Auswahl mit --port PATH, --serial SN oder --all:</translation>
    </message>
    <message>
        <source>Usage: trivoctl [--json] [--verbose] COMMAND [OPTIONS]

Finds Velto Trivo modules on the USB serial ports (and the extra ports
named in %1) and reads them, without a display.

Commands:
</source>
        <translation>Aufruf: trivoctl [--json] [--verbose] BEFEHL [OPTIONEN]

Findet Velto-Trivo-Module an den seriellen USB-Ports (und an den
zusätzlichen Ports aus %1) und liest sie aus, ohne Bildschirm.

Befehle:
</translation>
    </message>
    <message>
        <source>Example: </source>
        <translation>Beispiel: </translation>
    </message>
    <message>
        <source>
Choosing modules (%1):
</source>
        <translation>
Modulauswahl (%1):
</translation>
    </message>
    <message>
        <source>  Without a choice, the one module found is used; several are refused
  and listed.
</source>
        <translation>  Ohne Auswahl wird das eine gefundene Modul verwendet; mehrere werden
  abgelehnt und aufgelistet.
</translation>
    </message>
    <message>
        <source>
Options:
</source>
        <translation>
Optionen:
</translation>
    </message>
    <message>
        <source>
Exit status:
</source>
        <translation>
Exit-Status:
</translation>
    </message>
    <message>
        <source>Try &apos;trivoctl --help&apos;.</source>
        <translation>Hilfe mit &apos;trivoctl --help&apos;.</translation>
    </message>
    <message>
        <source>No command given.</source>
        <translation>Kein Befehl angegeben.</translation>
    </message>
    <message>
        <source>Unknown command &apos;%1&apos;.</source>
        <translation>Unbekannter Befehl &apos;%1&apos;.</translation>
    </message>
    <message>
        <source>Unexpected argument &apos;%1&apos;.</source>
        <translation>Unerwartetes Argument &apos;%1&apos;.</translation>
    </message>
    <message>
        <source>&apos;%1&apos; does not take --%2.</source>
        <translation>&apos;%1&apos; kennt --%2 nicht.</translation>
    </message>
    <message>
        <source>Choose modules with only one of --port, --serial or --all.</source>
        <translation>Module nur mit einer der Optionen --port, --serial oder --all auswählen.</translation>
    </message>
    <message>
        <source>No such port: %1</source>
        <translation>Port nicht vorhanden: %1</translation>
    </message>
    <message>
        <source>set-name NAME</source>
        <translation>set-name NAME</translation>
    </message>
    <message>
        <source>set the system name and print it as read back</source>
        <translation>den Systemnamen setzen und ihn so ausgeben, wie er zurückgelesen wird</translation>
    </message>
    <message>
        <source>upnp on|off</source>
        <translation>upnp on|off</translation>
    </message>
    <message>
        <source>switch the control LAN&apos;s UPnP host on or off</source>
        <translation>den UPnP-Host des Steuer-LANs ein- oder ausschalten</translation>
    </message>
    <message>
        <source>disable-auth --yes</source>
        <translation>disable-auth --yes</translation>
    </message>
    <message>
        <source>disable web access authentication and reset the password to the factory default</source>
        <translation>die Authentifizierung für den Webzugang deaktivieren und das Passwort auf den Werkszustand zurücksetzen</translation>
    </message>
    <message>
        <source>factory-reset --yes</source>
        <translation>factory-reset --yes</translation>
    </message>
    <message>
        <source>reset every setting of the module, network settings included</source>
        <translation>alle Einstellungen des Moduls zurücksetzen, auch die Netzwerkeinstellungen</translation>
    </message>
    <message>
        <source>set-network IFACE ADDRESS MASK [GATEWAY [SPEED]] --yes</source>
        <translation>set-network IFACE ADDRESS MASK [GATEWAY [SPEED]] --yes</translation>
    </message>
    <message>
        <source>give an interface (control, media, media2) a static address, checked as the window checks it; SPEED on the 25G receiver&apos;s media LANs</source>
        <translation>einer Schnittstelle (control, media, media2) eine statische Adresse geben, geprüft wie im Fenster; SPEED bei den Medien-LANs des 25G-Empfängers</translation>
    </message>
    <message>
        <source>dhcp IFACE --yes</source>
        <translation>dhcp IFACE --yes</translation>
    </message>
    <message>
        <source>switch an interface to DHCP and wait for the module&apos;s lease</source>
        <translation>eine Schnittstelle auf DHCP umstellen und auf die Adresse des Moduls warten</translation>
    </message>
    <message>
        <source>update FILE --yes</source>
        <translation>update FILE --yes</translation>
    </message>
    <message>
        <source>the whole firmware update: checks, upload, verification, commit, reboot, reconnection and the new version read back; several modules at once</source>
        <translation>das ganze Firmware-Update: Prüfungen, Hochladen, Prüfung des Abbilds, Übernahme, Neustart, Wiederverbinden und Zurücklesen der neuen Version; mehrere Module gleichzeitig</translation>
    </message>
    <message>
        <source>apply PLAN [--yes]</source>
        <translation>apply PLAN [--yes]</translation>
    </message>
    <message>
        <source>compare every module found with a JSON plan keyed by serial number (name, and per interface DHCP or a static address) and print what would change; --yes changes it</source>
        <translation>jedes gefundene Modul mit einem JSON-Plan nach Seriennummer vergleichen (Name und je Schnittstelle DHCP oder eine statische Adresse) und ausgeben, was sich ändern würde; --yes ändert es</translation>
    </message>
    <message>
        <source>give every confirmation; without it a command that needs one asks on the terminal, and refuses when there is none or with --json</source>
        <translation>jede Bestätigung geben; ohne diese Option fragt ein Befehl, der eine braucht, im Terminal und verweigert, wenn es keines gibt oder --json gesetzt ist</translation>
    </message>
    <message>
        <source>bad command line (unknown command or option, missing argument, no such port) or a confirmation not given; nothing was changed</source>
        <translation>fehlerhafte Befehlszeile (unbekannter Befehl oder unbekannte Option, fehlendes Argument, Port nicht vorhanden) oder Bestätigung nicht gegeben; nichts wurde geändert</translation>
    </message>
    <message>
        <source>%1: not an object</source>
        <translation>%1: kein Objekt</translation>
    </message>
    <message>
        <source>%1: unknown key &apos;%2&apos;</source>
        <translation>%1: unbekannter Schlüssel &apos;%2&apos;</translation>
    </message>
    <message>
        <source>%1: &apos;%2&apos; has the wrong type</source>
        <translation>%1: &apos;%2&apos; hat den falschen Typ</translation>
    </message>
    <message>
        <source>%1: DHCP takes no address, mask, gateway or speed</source>
        <translation>%1: DHCP nimmt keine Adresse, Maske, kein Gateway und keine Geschwindigkeit</translation>
    </message>
    <message>
        <source>Cannot read the plan %1.</source>
        <translation>Der Plan %1 kann nicht gelesen werden.</translation>
    </message>
    <message>
        <source>%1: not a JSON object keyed by serial number (%2 at offset %3)</source>
        <translation>%1: kein JSON-Objekt mit Seriennummern als Schlüssel (%2 bei Position %3)</translation>
    </message>
    <message>
        <source>%1: not an object keyed by a serial number</source>
        <translation>%1: kein Objekt mit einer Seriennummer als Schlüssel</translation>
    </message>
    <message>
        <source>%1: the name must be a text that is not blank</source>
        <translation>%1: der Name muss ein nicht leerer Text sein</translation>
    </message>
    <message>
        <source>%1: unknown key (name, control, media, media2)</source>
        <translation>%1: unbekannter Schlüssel (name, control, media, media2)</translation>
    </message>
    <message>
        <source>DHCP</source>
        <translation>DHCP</translation>
    </message>
    <message>
        <source>static %1 mask %2 gateway %3</source>
        <translation>statisch %1 Maske %2 Gateway %3</translation>
    </message>
    <message>
        <source> speed %1</source>
        <translation> Geschwindigkeit %1</translation>
    </message>
    <message>
        <source>the name could not be read</source>
        <translation>der Name konnte nicht gelesen werden</translation>
    </message>
    <message>
        <source>the %1 settings could not be read</source>
        <translation>die Einstellungen von %1 konnten nicht gelesen werden</translation>
    </message>
    <message>
        <source>as planned, nothing to change</source>
        <translation>wie geplant, nichts zu ändern</translation>
    </message>
    <message>
        <source>changed:</source>
        <translation>geändert:</translation>
    </message>
    <message>
        <source>would change (add --yes to apply):</source>
        <translation>würde sich ändern (mit --yes übernehmen):</translation>
    </message>
    <message>
        <source>the name did not take</source>
        <translation>der Name wurde nicht übernommen</translation>
    </message>
    <message>
        <source>%1 (%2): not in the plan</source>
        <translation>%1 (%2): nicht im Plan</translation>
    </message>
    <message>
        <source>%1: no module with this serial number found</source>
        <translation>%1: kein Modul mit dieser Seriennummer gefunden</translation>
    </message>
    <message>
        <source>the name could not be read back</source>
        <translation>der Name konnte nicht zurückgelesen werden</translation>
    </message>
    <message>
        <source>name is now &quot;%1&quot;</source>
        <translation>Name ist jetzt &quot;%1&quot;</translation>
    </message>
    <message>
        <source>upnp takes &apos;on&apos; or &apos;off&apos;, not &apos;%1&apos;.</source>
        <translation>upnp nimmt &apos;on&apos; oder &apos;off&apos;, nicht &apos;%1&apos;.</translation>
    </message>
    <message>
        <source>the UPnP setting could not be read back</source>
        <translation>die UPnP-Einstellung konnte nicht zurückgelesen werden</translation>
    </message>
    <message>
        <source>%1: the module kept its UPnP setting</source>
        <translation>%1: das Modul hat seine UPnP-Einstellung behalten</translation>
    </message>
    <message>
        <source>UPnP host on</source>
        <translation>UPnP-Host ein</translation>
    </message>
    <message>
        <source>UPnP host off</source>
        <translation>UPnP-Host aus</translation>
    </message>
    <message>
        <source>the factory reset was refused</source>
        <translation>das Zurücksetzen auf Werkseinstellungen wurde abgelehnt</translation>
    </message>
    <message>
        <source>settings reset to the factory defaults</source>
        <translation>Einstellungen auf Werkseinstellungen zurückgesetzt</translation>
    </message>
    <message>
        <source>Unknown interface &apos;%1&apos;; one of: control, media, media2.</source>
        <translation>Unbekannte Schnittstelle &apos;%1&apos;; eine von: control, media, media2.</translation>
    </message>
    <message>
        <source>%1: %2% %3 of %4 MiB, %5 MiB/s</source>
        <translation>%1: %2% %3 von %4 MiB, %5 MiB/s</translation>
    </message>
    <message>
        <source>, %1 s left</source>
        <translation>, noch %1 s</translation>
    </message>
    <message>
        <source>the new version could not be read</source>
        <translation>die neue Version konnte nicht gelesen werden</translation>
    </message>
    <message>
        <source>updated from %1 to %2</source>
        <translation>von %1 auf %2 aktualisiert</translation>
    </message>
    <message>
        <source>Cannot read the firmware file %1.</source>
        <translation>Die Firmware-Datei %1 kann nicht gelesen werden.</translation>
    </message>
    <message>
        <source>This command needs a confirmation: add --yes (there is no terminal to ask on).</source>
        <translation>Dieser Befehl braucht eine Bestätigung: --yes angeben (es gibt kein Terminal, in dem gefragt werden kann).</translation>
    </message>
    <message>
        <source>Not confirmed; nothing was changed.</source>
        <translation>Nicht bestätigt; nichts wurde geändert.</translation>
    </message>
    <message>
        <source>[y/N] </source>
        <translation>[j/N] </translation>
    </message>
    <message>
        <source>y</source>
        <translation>j</translation>
    </message>
    <message>
        <source>yes</source>
        <translation>ja</translation>
    </message>
    <message>
        <source>Unknown speed &apos;%1&apos;; one of: %2</source>
        <translation>Unbekannte Geschwindigkeit &apos;%1&apos;; eine von: %2</translation>
    </message>
    <message>
        <source>the address could not be read back</source>
        <translation>die Adresse konnte nicht zurückgelesen werden</translation>
    </message>
    <message>
        <source>%1: the module holds %2 / %3 / %4 instead</source>
        <translation>%1: das Modul hat stattdessen %2 / %3 / %4</translation>
    </message>
    <message>
        <source>%1 static %2 mask %3 gateway %4</source>
        <translation>%1 statisch %2 Maske %3 Gateway %4</translation>
    </message>
    <message>
        <source>%1 DHCP lease %2 mask %3 gateway %4</source>
        <translation>%1 DHCP-Adresse %2 Maske %3 Gateway %4</translation>
    </message>
    <message>
        <source>&apos;%1&apos; needs more arguments: %2</source>
        <translation>&apos;%1&apos; braucht weitere Argumente: %2</translation>
    </message>
    <message>
        <source>release-lock --yes</source>
        <translation>release-lock --yes</translation>
    </message>
    <message>
        <source>give back an update lock left behind (update state 8, then lock 0); the lock does not say who set it, so only when no other program is updating the module</source>
        <translation>eine zurückgebliebene Update-Sperre freigeben (Update-Status 8, dann Sperre 0); die Sperre verrät nicht, wer sie gesetzt hat, also nur, wenn kein anderes Programm das Modul aktualisiert</translation>
    </message>
    <message>
        <source>stopped by SIGINT, SIGTERM, SIGHUP or SIGQUIT, or by an output that can no longer be written</source>
        <translation>durch SIGINT, SIGTERM, SIGHUP oder SIGQUIT beendet, oder weil eine Ausgabe nicht mehr geschrieben werden kann</translation>
    </message>
    <message>
        <source>a blank name writes nothing; the name stays &quot;%1&quot;</source>
        <translation>ein leerer Name schreibt nichts; der Name bleibt „%1“</translation>
    </message>
    <message>
        <source>the update lock could not be read</source>
        <translation>die Update-Sperre konnte nicht gelesen werden</translation>
    </message>
    <message>
        <source>the update lock is not set; nothing was written</source>
        <translation>die Update-Sperre ist nicht gesetzt; nichts wurde geschrieben</translation>
    </message>
    <message>
        <source>the update lock was not released</source>
        <translation>die Update-Sperre wurde nicht freigegeben</translation>
    </message>
    <message>
        <source>stopped after the commit; the module starts its new firmware when it restarts</source>
        <translation>nach dem Festschreiben beendet; das Modul startet seine neue Firmware beim Neustart</translation>
    </message>
    <message>
        <source>If no other program is updating it, &apos;trivoctl release-lock&apos; gives the lock back.</source>
        <translation>Wenn kein anderes Programm es aktualisiert, gibt &apos;trivoctl release-lock&apos; die Sperre frei.</translation>
    </message>
    <message>
        <source>models</source>
        <translation>models</translation>
    </message>
    <message>
        <source>every model the program knows, without probing: board ID, model name, product IDs, page, interfaces with their UPnP host and speed choice, update support</source>
        <translation>jedes Modell, das das Programm kennt, ohne Abfrage: Board-ID, Modellname, Produkt-IDs, Seite, Schnittstellen mit ihrem UPnP-Host und ihrer Geschwindigkeitswahl, Update-Unterstützung</translation>
    </message>
    <message>
        <source>no</source>
        <translation>nein</translation>
    </message>
    <message>
        <source>BOARD ID</source>
        <translation>BOARD-ID</translation>
    </message>
    <message>
        <source>PRODUCT IDS</source>
        <translation>PRODUKT-IDS</translation>
    </message>
    <message>
        <source>PAGE</source>
        <translation>SEITE</translation>
    </message>
    <message>
        <source>INTERFACES</source>
        <translation>SCHNITTSTELLEN</translation>
    </message>
    <message>
        <source>UPNP</source>
        <translation>UPNP</translation>
    </message>
    <message>
        <source>SPEEDS</source>
        <translation>GESCHWINDIGKEITEN</translation>
    </message>
    <message>
        <source>UPDATE</source>
        <translation>UPDATE</translation>
    </message>
    <message>
        <source>the %1 has no UPnP host</source>
        <translation>%1 hat keinen UPnP-Host</translation>
    </message>
    <message>
        <source>the %1 cannot be updated from this program</source>
        <translation>%1 kann mit diesem Programm nicht aktualisiert werden</translation>
    </message>
    <message>
        <source>the %1 has no %2 interface</source>
        <translation>%1 hat keine Schnittstelle %2</translation>
    </message>
    <message>
        <source>the %1 offers no speed choice on its %2 interface</source>
        <translation>%1 bietet an der Schnittstelle %2 keine Geschwindigkeitswahl</translation>
    </message>
    <message>
        <source>the %1 offers no speed %2 on its %3 interface (one of: %4)</source>
        <translation>%1 bietet an der Schnittstelle %3 die Geschwindigkeit %2 nicht an (möglich: %4)</translation>
    </message>
    <message>
        <source>%1: skipped, %2</source>
        <translation>%1: übersprungen, %2</translation>
    </message>
    <message>
        <source>None of the modules can do this: every one was skipped.</source>
        <translation>Keines der Module kann das: alle wurden übersprungen.</translation>
    </message>
</context>
</TS>
