// The service's API as the page uses it: JSON in and out, the session's CSRF token on every
// request that changes something, and one place that handles a session that ended.

export class ApiError extends Error {
    constructor(status, message) {
        super(message);
        this.status = status;
    }
}

export const SessionExpiredText = '登录已过期，请重新登录';
const UnreachableText = '无法连接服务器，请检查网络后重试';

export class ApiClient {
    constructor() {
        this.csrf = '';
        this.signedIn = false;
        this.renewal = null;
        // Called when a request finds the session gone; resolves once the operator has logged
        // in again, so that the request can be sent again with what the page still holds.
        this.onSessionEnded = null;
    }

    signIn(answer) {
        this.csrf = answer.csrf || '';
        this.signedIn = true;
    }

    signOut() {
        this.csrf = '';
        this.signedIn = false;
    }

    async getJson(path) {
        return (await this.send('GET', path, undefined, 'json')).json;
    }

    // `renew`: a session found ended asks for the login and sends the request again; logging
    // out does not.
    async postJson(path, body, {renew = true} = {}) {
        return (await this.send('POST', path, body, 'json', renew)).json;
    }

    // Binary answers (a PDF, a PNG) come as {blob, headers}; a JSON answer as {json, headers}
    // (a counter that prints on the server's own printer answers a print that way).
    postForBlob(path, body) {
        return this.send('POST', path, body, 'blob');
    }

    async send(method, path, body, kind, renew = true) {
        const answer = await this.fetchOnce(method, path, body);
        const ended = answer.status === 401 && path !== '/api/login' && (this.signedIn || this.renewal);
        if (ended && renew && this.onSessionEnded) {
            // Requests that find the session ended at the same time all wait for one login.
            this.signedIn = false;
            this.renewal ??= this.onSessionEnded(SessionExpiredText).finally(() => (this.renewal = null));
            await this.renewal;
            return this.read(await this.fetchOnce(method, path, body), kind);
        }
        return this.read(answer, kind);
    }

    async fetchOnce(method, path, body) {
        const headers = {Accept: 'application/json, application/pdf, image/png'};
        if (body !== undefined)
            headers['Content-Type'] = 'application/json';
        if (method !== 'GET' && this.csrf)
            headers['X-CSRF-Token'] = this.csrf;
        try {
            return await fetch(path, {
                method,
                headers,
                body: body === undefined ? undefined : JSON.stringify(body),
                credentials: 'same-origin',
                cache: 'no-store',
            });
        } catch {
            throw new ApiError(0, UnreachableText);
        }
    }

    async read(answer, kind) {
        if (!answer.ok)
            throw new ApiError(answer.status, await refusalText(answer));
        const type = answer.headers.get('Content-Type') || '';
        try {
            if (type.startsWith('application/json'))
                return {json: await answer.json(), headers: answer.headers};
            if (kind === 'json')
                throw new ApiError(answer.status, '服务器的回答无法识别');
            return {blob: await answer.blob(), headers: answer.headers};
        } catch (error) {
            if (error instanceof ApiError)
                throw error;
            throw new ApiError(0, UnreachableText);
        }
    }
}

// The Chinese sentence of a refusal, or a plain one when the answer carries none (a proxy's
// error page, say).
async function refusalText(answer) {
    try {
        const body = await answer.json();
        if (body && typeof body.error === 'string' && body.error)
            return body.error;
    } catch {
        // not JSON: fall through
    }
    if (answer.status === 413)
        return '请求过大';
    if (answer.status >= 500)
        return `服务器出错（${answer.status}），请稍后再试`;
    return `请求没有完成（${answer.status}）`;
}
