<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>screens</name>
    <message>
        <source>back</source>
        <translation>Zurück</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Confirm</source>
        <translation>Bestätigen</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Information: The transaction is stopped by Remote command!</source>
        <translation>Hinweis: Der Ladevorgang wurde per Fernbefehl beendet!</translation>
    </message>
    <message>
        <source>Information: The cable is unplugged at car side!</source>
        <translation>Hinweis: Das Kabel wurde am Fahrzeug abgezogen!</translation>
    </message>
    <message>
        <source>Information: The transaction is rejected by the Central System!</source>
        <translation>Hinweis: Der Ladevorgang wurde vom Zentralsystem abgelehnt!</translation>
    </message>
    <message>
        <source>Information: The card is invalid on this charge point!! Please change another one.</source>
        <translation>Hinweis: Diese Karte gilt an dieser Ladestation nicht. Bitte verwenden Sie eine andere.</translation>
    </message>
    <message>
        <source>Stop Reason:</source>
        <translation>Stoppgrund:</translation>
    </message>
    <message>
        <source>Custom</source>
        <translation>Eigener Wert</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Starten</translation>
    </message>
    <message>
        <source>Abort</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>charge your battery full</source>
        <translation>Akku voll laden</translation>
    </message>
    <message>
        <source>togo</source>
        <translation>noch</translation>
    </message>
    <message>
        <source>remain</source>
        <translation>Restzeit</translation>
    </message>
    <message>
        <source>charged</source>
        <translation>geladen</translation>
    </message>
    <message>
        <source>spent</source>
        <translation>Dauer</translation>
    </message>
    <message>
        <source>cost</source>
        <translation>Kosten</translation>
    </message>
    <message>
        <source>voltage</source>
        <translation>Spannung</translation>
    </message>
    <message>
        <source>current</source>
        <translation>Strom</translation>
    </message>
    <message>
        <source>Fast Charge</source>
        <translation>Schnellladen</translation>
    </message>
    <message>
        <source>Charge your battery full</source>
        <translation>Akku vollständig laden</translation>
    </message>
    <message>
        <source>Fixed Amount</source>
        <translation>Festbetrag</translation>
    </message>
    <message>
        <source>Charge</source>
        <translation>Laden</translation>
    </message>
    <message>
        <source>Set up a charge amount</source>
        <translation>Lademenge festlegen</translation>
    </message>
    <message>
        <source>Auto manage the charging load makes the charging process more efficient</source>
        <translation>Das automatische Lastmanagement macht das Laden effizienter</translation>
    </message>
    <message>
        <source>Set the Amount/Quantity to charge</source>
        <translation>Betrag oder Energiemenge festlegen für</translation>
    </message>
    <message>
        <source>your vehicle</source>
        <translation>Ihr Fahrzeug</translation>
    </message>
    <message>
        <source>Choose Amount</source>
        <translation>Betrag wählen</translation>
    </message>
    <message>
        <source>Choose Quantity</source>
        <translation>Menge wählen</translation>
    </message>
    <message>
        <source>or</source>
        <translation>oder</translation>
    </message>
    <message>
        <source>You set to: Charge</source>
        <translation>Ihre Wahl: Laden</translation>
    </message>
    <message>
        <source>kWh | Cost</source>
        <translation>kWh | Kosten</translation>
    </message>
    <message>
        <source>Set Amount(Max.100)</source>
        <translation>Betrag eingeben (max. 100)</translation>
    </message>
    <message>
        <source>Set Quantity(Max.100)</source>
        <translation>Menge eingeben (max. 100)</translation>
    </message>
    <message>
        <source>How would you like to pay?</source>
        <translation>Wie möchten Sie bezahlen?</translation>
    </message>
    <message>
        <source>Use your</source>
        <translation>Nutzen Sie Ihre</translation>
    </message>
    <message>
        <source>NFC</source>
        <translation>NFC-</translation>
    </message>
    <message>
        <source>Credit Card</source>
        <translation>Kreditkarte</translation>
    </message>
    <message>
        <source>on the</source>
        <translation>am</translation>
    </message>
    <message>
        <source>Paypad in front of the Charger</source>
        <translation>Bezahlterminal vor der Ladesäule</translation>
    </message>
    <message>
        <source>Please plug the charger cable into</source>
        <translation>Bitte stecken Sie das Ladekabel an</translation>
    </message>
    <message>
        <source>Standby</source>
        <translation>Bereit</translation>
    </message>
    <message>
        <source>You set to:</source>
        <translation>Ihre Wahl:</translation>
    </message>
    <message>
        <source>charging</source>
        <translation>lädt</translation>
    </message>
    <message>
        <source>preparing</source>
        <translation>Vorbereiten</translation>
    </message>
    <message>
        <source>stopping</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>suspended</source>
        <translation>pausiert</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Stopp</translation>
    </message>
    <message>
        <source>You need to use the card which you have</source>
        <translation>Halten Sie die Karte, mit der Sie</translation>
    </message>
    <message>
        <source>chosen for the payment method to end this</source>
        <translation>bezahlt haben, an das Terminal, um den</translation>
    </message>
    <message>
        <source>process</source>
        <translation>Vorgang zu beenden</translation>
    </message>
    <message>
        <source>Are you sure to END the</source>
        <translation>Möchten Sie den Ladevorgang</translation>
    </message>
    <message>
        <source>charging process?</source>
        <translation>wirklich BEENDEN?</translation>
    </message>
    <message>
        <source>Complete !</source>
        <translation>Fertig!</translation>
    </message>
    <message>
        <source>Payment Processed</source>
        <translation>Zahlung erfolgreich</translation>
    </message>
    <message>
        <source>Successfully!</source>
        <translation>abgeschlossen!</translation>
    </message>
    <message>
        <source>Thank you for using!</source>
        <translation>Vielen Dank!</translation>
    </message>
    <message>
        <source>How can we help?</source>
        <translation>Wie können wir helfen?</translation>
    </message>
    <message>
        <source>Paying</source>
        <translation>Bezahlen</translation>
    </message>
    <message>
        <source>Stopping</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>Status bar icons</source>
        <translation>Symbole der Statusleiste</translation>
    </message>
    <message>
        <source>Touch &lt;b&gt;Fast Charge&lt;/b&gt; on the home screen.</source>
        <translation>Tippen Sie auf dem Startbildschirm auf &lt;b&gt;Schnellladen&lt;/b&gt;.</translation>
    </message>
    <message>
        <source>Present your NFC or credit card on the Paypad in front of the charger.</source>
        <translation>Halten Sie Ihre NFC- oder Kreditkarte an das Bezahlterminal vor der Ladesäule.</translation>
    </message>
    <message>
        <source>Plug the charging cable into your vehicle.</source>
        <translation>Stecken Sie das Ladekabel an Ihr Fahrzeug.</translation>
    </message>
    <message>
        <source>Check your choice on the &lt;b&gt;Standby&lt;/b&gt; screen and touch &lt;b&gt;Start&lt;/b&gt;.</source>
        <translation>Prüfen Sie Ihre Wahl auf der Seite &lt;b&gt;Bereit&lt;/b&gt; und tippen Sie auf &lt;b&gt;Starten&lt;/b&gt;.</translation>
    </message>
    <message>
        <source>Charging ends when your vehicle reports a full battery. While it runs, the screen shows the state of charge, the energy charged, the time spent and the cost.</source>
        <translation>Das Laden endet, sobald Ihr Fahrzeug einen vollen Akku meldet. Währenddessen zeigt der Bildschirm Ladezustand, geladene Energie, Dauer und Kosten.</translation>
    </message>
    <message>
        <source>Charge a set amount</source>
        <translation>Einen festen Betrag laden</translation>
    </message>
    <message>
        <source>Touch &lt;b&gt;Fixed Amount&lt;/b&gt; on the home screen.</source>
        <translation>Tippen Sie auf dem Startbildschirm auf &lt;b&gt;Festbetrag&lt;/b&gt;.</translation>
    </message>
    <message>
        <source>Choose an amount (€5 to €30) or a quantity (5 to 30 kWh), or touch &lt;b&gt;Custom&lt;/b&gt; and type any value up to 100.</source>
        <translation>Wählen Sie einen Betrag (5 bis 30 €) oder eine Menge (5 bis 30 kWh), oder tippen Sie auf &lt;b&gt;Eigener Wert&lt;/b&gt; und geben Sie einen Wert bis 100 ein.</translation>
    </message>
    <message>
        <source>Touch &lt;b&gt;Confirm&lt;/b&gt;. The other value is worked out at %1.</source>
        <translation>Tippen Sie auf &lt;b&gt;Bestätigen&lt;/b&gt;. Der andere Wert wird mit %1 berechnet.</translation>
    </message>
    <message>
        <source>Pay, plug in and touch &lt;b&gt;Start&lt;/b&gt;, as for Fast Charge.</source>
        <translation>Bezahlen, einstecken und auf &lt;b&gt;Starten&lt;/b&gt; tippen, wie beim Schnellladen.</translation>
    </message>
    <message>
        <source>While charging, the screen shows the energy still to go and the time remaining.</source>
        <translation>Während des Ladens zeigt der Bildschirm die noch fehlende Energie und die Restzeit.</translation>
    </message>
    <message>
        <source>How to pay</source>
        <translation>So bezahlen Sie</translation>
    </message>
    <message>
        <source>Pay with an NFC card or a credit card on the Paypad in front of the charger when the screen asks how you would like to pay.</source>
        <translation>Bezahlen Sie mit NFC- oder Kreditkarte am Bezahlterminal vor der Ladesäule, wenn der Bildschirm danach fragt.</translation>
    </message>
    <message>
        <source>Energy costs %1. The cost so far is shown while charging, the total on the summary.</source>
        <translation>Energie kostet %1. Die bisherigen Kosten sehen Sie beim Laden, den Gesamtbetrag in der Zusammenfassung.</translation>
    </message>
    <message>
        <source>Keep your card at hand: the same card ends the session.</source>
        <translation>Halten Sie Ihre Karte bereit: Mit derselben Karte beenden Sie den Vorgang.</translation>
    </message>
    <message>
        <source>If a card is refused, a message asks you to use another one.</source>
        <translation>Wird eine Karte abgelehnt, bittet Sie eine Meldung um eine andere.</translation>
    </message>
    <message>
        <source>How to stop charging</source>
        <translation>So beenden Sie das Laden</translation>
    </message>
    <message>
        <source>Touch &lt;b&gt;Stop&lt;/b&gt; on the charging screen.</source>
        <translation>Tippen Sie auf dem Ladebildschirm auf &lt;b&gt;Stopp&lt;/b&gt;.</translation>
    </message>
    <message>
        <source>Present the card you paid with on the Paypad.</source>
        <translation>Halten Sie die Karte, mit der Sie bezahlt haben, an das Bezahlterminal.</translation>
    </message>
    <message>
        <source>Touch &lt;b&gt;Confirm&lt;/b&gt; to end the charging process.</source>
        <translation>Tippen Sie auf &lt;b&gt;Bestätigen&lt;/b&gt;, um den Ladevorgang zu beenden.</translation>
    </message>
    <message>
        <source>Check the summary, touch &lt;b&gt;Confirm&lt;/b&gt; and then &lt;b&gt;OK&lt;/b&gt;.</source>
        <translation>Prüfen Sie die Zusammenfassung, tippen Sie auf &lt;b&gt;Bestätigen&lt;/b&gt; und dann auf &lt;b&gt;OK&lt;/b&gt;.</translation>
    </message>
    <message>
        <source>Unplug the cable and hang it back on the charger.</source>
        <translation>Ziehen Sie das Kabel ab und hängen Sie es zurück an die Ladesäule.</translation>
    </message>
    <message>
        <source>Before charging starts, &lt;b&gt;Abort&lt;/b&gt; on the Standby screen ends the session.</source>
        <translation>Vor dem Start beendet &lt;b&gt;Abbrechen&lt;/b&gt; auf der Seite Bereit den Vorgang.</translation>
    </message>
    <message>
        <source>What the icons mean</source>
        <translation>Was die Symbole bedeuten</translation>
    </message>
    <message>
        <source>Cable plugged into your vehicle</source>
        <translation>Kabel am Fahrzeug eingesteckt</translation>
    </message>
    <message>
        <source>Cable not plugged in</source>
        <translation>Kabel nicht eingesteckt</translation>
    </message>
    <message>
        <source>Charger online</source>
        <translation>Ladesäule online</translation>
    </message>
    <message>
        <source>Online, but the charging network cannot be reached</source>
        <translation>Online, aber das Ladenetz ist nicht erreichbar</translation>
    </message>
    <message>
        <source>No network connection</source>
        <translation>Keine Netzwerkverbindung</translation>
    </message>
    <message>
        <source>Back to the home screen</source>
        <translation>Zurück zum Startbildschirm</translation>
    </message>
    <message>
        <source>This help</source>
        <translation>Diese Hilfe</translation>
    </message>
    <message>
        <source>power</source>
        <translation>Leistung</translation>
    </message>
    <message>
        <source>The authorization has expired: the cable was not plugged in in time. Please start again.</source>
        <translation>Die Freigabe ist abgelaufen: Das Kabel wurde nicht rechtzeitig eingesteckt. Bitte beginnen Sie erneut.</translation>
    </message>
    <message>
        <source>Card not accepted. Please try another card.</source>
        <translation>Karte nicht akzeptiert. Bitte verwenden Sie eine andere Karte.</translation>
    </message>
    <message>
        <source>The central system rejected the transaction.</source>
        <translation>Das Zentralsystem hat den Ladevorgang abgelehnt.</translation>
    </message>
    <message>
        <source>The central system did not confirm the transaction.</source>
        <translation>Das Zentralsystem hat den Ladevorgang nicht bestätigt.</translation>
    </message>
    <message>
        <source>Stopped before any energy was delivered.</source>
        <translation>Beendet, bevor Energie geladen wurde.</translation>
    </message>
    <message>
        <source>No energy was delivered.</source>
        <translation>Es wurde keine Energie geladen.</translation>
    </message>
    <message>
        <source>Stopped by the central system.</source>
        <translation>Vom Zentralsystem beendet.</translation>
    </message>
    <message>
        <source>Stopped by a charger fault.</source>
        <translation>Wegen einer Störung der Ladesäule beendet.</translation>
    </message>
    <message>
        <source>The cable was unplugged at the car.</source>
        <translation>Das Kabel wurde am Fahrzeug abgezogen.</translation>
    </message>
    <message>
        <source>Session ended</source>
        <translation>Ladevorgang beendet</translation>
    </message>
    <message>
        <source>Temporarily out of order</source>
        <translation>Vorübergehend außer Betrieb</translation>
    </message>
</context>
</TS>
