// "PNR导入": the paste box for the reservation terminal's booking display. "导入" hands the
// text to the service with the sheet as it stands, so that what the import does not clear
// stays; the box closes once the import's messages have been read. A request that fails
// leaves the box open with the text in it.

export class ImportDialog {
    // `runImport(text)` resolves when the import is done and its messages read, and throws
    // when it did not reach the sheet.
    constructor(messages, runImport) {
        this.messages = messages;
        this.runImport = runImport;
        this.dialog = document.getElementById('importDialog');
        this.text = this.dialog.querySelector('[name="booking"]');
        this.importButton = this.dialog.querySelector('[data-action="import"]');
        this.dialog.querySelector('[data-action="import-cancel"]')
            .addEventListener('click', () => this.dialog.close());
        this.importButton.addEventListener('click', () => this.importPressed());
        this.dialog.addEventListener('cancel', (e) => {
            if (this.importButton.disabled)
                e.preventDefault(); // not while the import is on its way
        });
    }

    // Each opening starts with an empty box.
    open() {
        if (this.dialog.open)
            return;
        this.text.value = '';
        this.dialog.showModal();
        this.text.focus();
    }

    async importPressed() {
        if (this.importButton.disabled)
            return;
        this.importButton.disabled = true;
        try {
            await this.runImport(this.text.value);
            this.dialog.close();
        } catch (error) {
            await this.messages.show(error.message);
            this.text.focus();
        } finally {
            this.importButton.disabled = false;
        }
    }
}
