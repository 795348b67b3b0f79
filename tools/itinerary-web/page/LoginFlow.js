// Logging in: user and password, then the counter when the user may work at several. The
// same box comes back when a session has ended, with what the page holds left as it is.

const RememberedCounterKey = 'itinerary.counter';

export function rememberedCounter() {
    try {
        return localStorage.getItem(RememberedCounterKey) || '';
    } catch {
        return '';
    }
}

export function rememberCounter(name) {
    try {
        localStorage.setItem(RememberedCounterKey, name);
    } catch {
        // the choice is asked again next time
    }
}

export class LoginFlow {
    constructor(api) {
        this.api = api;
        this.dialog = document.getElementById('loginDialog');
        this.form = document.getElementById('loginForm');
        this.message = document.getElementById('loginMessage');
        this.credentials = document.getElementById('loginCredentials');
        this.counterStep = document.getElementById('loginCounter');
        this.user = this.form.elements.user;
        this.password = this.form.elements.password;
        this.counter = this.form.elements.counter;
        this.submit = this.form.querySelector('[data-action="login"]');
        // Without a session there is nothing behind the box to go back to.
        this.dialog.addEventListener('cancel', (e) => e.preventDefault());
        this.form.addEventListener('submit', (e) => {
            e.preventDefault();
            this.submitted();
        });
        this.pending = null;
    }

    // Resolves with {me, counter} once the operator has logged in (and picked a counter when
    // there is a choice to make). `message` says why the box is shown.
    ask(message, currentCounter = '') {
        if (this.pending)
            return this.pending.promise;
        let resolve;
        const promise = new Promise((r) => (resolve = r));
        this.pending = {promise, resolve, currentCounter, me: null};
        this.showMessage(message);
        this.credentials.hidden = false;
        this.counterStep.hidden = true;
        this.password.value = '';
        this.submit.textContent = '登录';
        if (!this.dialog.open)
            this.dialog.showModal();
        (this.user.value ? this.password : this.user).focus();
        return promise;
    }

    showMessage(text) {
        this.message.textContent = text;
        this.message.hidden = !text;
    }

    async submitted() {
        if (!this.pending || this.submit.disabled)
            return;
        if (!this.counterStep.hidden)
            return this.finish(this.pending.me, this.counter.value);
        if (!this.user.value.trim() || !this.password.value) {
            this.showMessage('请输入用户名和密码');
            (this.user.value.trim() ? this.password : this.user).focus();
            return;
        }
        this.submit.disabled = true;
        try {
            const me = await this.api.postJson('/api/login',
                                               {user: this.user.value, password: this.password.value});
            this.api.signIn(me);
            this.password.value = '';
            const counters = Array.isArray(me.counters) ? me.counters : [];
            const kept = this.pending.currentCounter;
            if (kept && counters.includes(kept))
                return this.finish(me, kept);
            if (counters.length < 2)
                return this.finish(me, counters[0] || '');
            this.showCounterStep(me);
        } catch (error) {
            this.showMessage(error.message);
            this.password.select();
            this.password.focus();
        } finally {
            this.submit.disabled = false;
        }
    }

    // The agent works at several counters: which one is this machine's?
    askCounter(me) {
        let resolve;
        const promise = new Promise((r) => (resolve = r));
        this.pending = {promise, resolve, currentCounter: '', me};
        if (!this.dialog.open)
            this.dialog.showModal();
        this.showCounterStep(me);
        return promise;
    }

    showCounterStep(me) {
        const counters = me.counters;
        this.pending.me = me;
        this.counter.replaceChildren(...counters.map((name) => new Option(name, name)));
        const remembered = rememberedCounter();
        this.counter.value = counters.includes(remembered) ? remembered : counters[0];
        this.showMessage('请选择本机所在的柜台');
        this.credentials.hidden = true;
        this.counterStep.hidden = false;
        this.submit.textContent = '进入';
        this.counter.focus();
    }

    finish(me, counter) {
        const {resolve} = this.pending;
        this.pending = null;
        if (counter)
            rememberCounter(counter);
        this.dialog.close();
        resolve({me, counter});
    }
}
