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
</context>
</TS>
