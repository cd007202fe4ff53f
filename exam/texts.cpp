#include "exam/texts.h"

#include <array>

namespace tecladim::exam {
namespace {

// Written for this program in the register of exam texts; no passage is taken from an
// exam or a book. Paragraphs end in a line break; only characters an ABNT2 keyboard types.
constexpr std::array<ExamText, 13> AllTexts{{
    {"acesso-informacao", "O direito de saber",
     "Todo cidadão tem o direito de receber dos órgãos públicos informações do seu interesse particular ou de "
     "interesse coletivo. Esse direito vale para a União, os estados, o Distrito Federal e os municípios, e alcança "
     "também as autarquias, as fundações e as empresas controladas pelo poder público. O pedido pode ser feito pela "
     "internet ou no balcão de atendimento, e não é preciso explicar o motivo da consulta. O órgão tem prazo para "
     "responder e, quando não puder entregar o que foi pedido, deve dizer por escrito a razão da recusa e indicar a "
     "quem o cidadão pode recorrer.\n"
     "A regra é a publicidade; o sigilo é a exceção. Dados pessoais, como endereço, saúde ou renda de alguém, "
     "continuam protegidos, e certas informações podem ser classificadas por um tempo limitado quando a sua divulgação "
     "puser em risco a segurança da sociedade ou do Estado. Fora desses casos, o que é público deve estar ao alcance "
     "de todos, de preferência em linguagem simples e em formato aberto, que possa ser lido por qualquer programa de "
     "computador. Quanto mais gente acompanha as contas e as decisões do governo, mais difícil fica esconder erros e "
     "desvios."},
    {"servidor-atendimento", "O servidor e o atendimento ao público",
     "Quem trabalha no serviço público atende pessoas de todas as idades, origens e condições. Por isso, o bom "
     "atendimento começa pela escuta: o servidor deixa o cidadão explicar o que precisa, faz perguntas para entender o "
     "caso e só então indica o caminho. Frases curtas, sem siglas nem termos técnicos, evitam mal-entendidos e "
     "retornos desnecessários. Quando o assunto não é da sua área, o servidor não se limita a dizer que não pode "
     "ajudar; informa qual setor resolve a questão, onde ele fica e que documentos devem ser levados.\n"
     "A prioridade no atendimento é garantida por lei a idosos, gestantes, pessoas com deficiência, pessoas com "
     "crianças de colo e outros grupos. Ela deve ser respeitada sem constrangimento e sem que o beneficiado precise "
     "insistir. Também faz parte do dever do servidor guardar sigilo sobre o que soube em razão do cargo, tratar todos "
     "com igualdade e registrar cada pedido, para que nada se perca na troca de turnos ou de equipes. Um atendimento "
     "cortês e eficiente não é favor: é a forma como o Estado presta contas a quem o sustenta com os seus impostos."},
    {"consumidor", "O consumidor e a compra a distância",
     "Quem compra um produto pela internet, por telefone ou por catálogo, fora do estabelecimento comercial, pode "
     "desistir da compra no prazo de sete dias, contados da assinatura do contrato ou do recebimento do produto. Esse "
     "direito de arrependimento existe porque o consumidor não pôde ver nem tocar o que comprou antes de pagar. Ao "
     "desistir, ele deve receber de volta todos os valores pagos, inclusive o frete, com a correção devida, e não "
     "precisa justificar a sua decisão.\n"
     "O fornecedor, por sua vez, deve informar com clareza o preço total, as formas de pagamento, o prazo de entrega e "
     "os meios de contato. Anúncios que omitem dados importantes ou que prometem o que não será entregue podem ser "
     "considerados publicidade enganosa. Em caso de problema, o primeiro passo é procurar a empresa e guardar o número "
     "do protocolo. Se não houver solução, o consumidor pode recorrer ao Procon da sua cidade, às plataformas públicas "
     "de reclamação ou ao Juizado Especial Cível, onde causas de menor valor podem ser apresentadas sem advogado."},
    {"juizado-especial", "O Juizado Especial Cível",
     "O Juizado Especial Cível foi criado para resolver de forma simples e rápida as causas de menor complexidade. "
     "Nele, o processo segue os princípios da oralidade, da simplicidade, da informalidade e da economia processual, e "
     "busca, sempre que possível, a conciliação entre as partes. Nas causas de valor até vinte salários mínimos, a "
     "pessoa pode apresentar o seu pedido sem a assistência de advogado; acima desse valor, e até o limite fixado em "
     "lei, o advogado passa a ser obrigatório.\n"
     "O caminho começa com uma petição, que pode ser escrita ou até mesmo oral, reduzida a termo por um servidor do "
     "juizado. Em seguida, as partes são chamadas para uma audiência de conciliação, conduzida por um conciliador. Se "
     "houver acordo, ele é homologado pelo juiz e passa a valer como sentença. Se não houver, o processo segue para a "
     "audiência de instrução e julgamento, em que são ouvidas as partes e as testemunhas e apresentadas as provas. Em "
     "primeiro grau não se pagam custas, o que torna o juizado uma porta de entrada importante para quem busca os seus "
     "direitos."},
    {"vacinacao", "Vacinas e saúde coletiva",
     "As vacinas estão entre as medidas de saúde pública mais eficientes já criadas. Elas ensinam o sistema de defesa "
     "do corpo a reconhecer um vírus ou uma bactéria antes do contato com a doença, de modo que, quando a infecção "
     "acontece, a resposta é rápida e os sintomas são leves ou nem aparecem. Graças à vacinação em massa, doenças que "
     "matavam ou deixavam sequelas em milhares de crianças, como a poliomielite, praticamente desapareceram do país.\n"
     "O efeito das vacinas, porém, não é apenas individual. Quando a maior parte de uma população está protegida, o "
     "agente causador encontra poucas pessoas em que possa se multiplicar, e a transmissão diminui. Assim ficam "
     "protegidos também os que não podem ser vacinados, como bebês muito novos e pessoas com certas doenças. Por isso, "
     "a queda da cobertura vacinal preocupa os especialistas: doenças controladas podem voltar. Manter a caderneta em "
     "dia, inclusive na vida adulta, é um cuidado com a própria saúde e uma atitude de responsabilidade com a "
     "comunidade."},
    {"agua-saneamento", "Água, esgoto e qualidade de vida",
     "O saneamento básico reúne o abastecimento de água potável, a coleta e o tratamento do esgoto, a limpeza urbana, "
     "o manejo do lixo e a drenagem da água da chuva. Esses serviços parecem invisíveis quando funcionam, mas a sua "
     "falta aparece logo nos números da saúde: diarreias, verminoses e outras doenças de transmissão hídrica atingem "
     "principalmente as crianças das áreas sem rede de esgoto. Estudos mostram que cada real investido em saneamento "
     "reduz os gastos com atendimento médico e melhora o desempenho escolar.\n"
     "No Brasil, uma parte importante da população ainda vive sem coleta de esgoto, e uma parcela menor do esgoto "
     "coletado recebe tratamento antes de voltar aos rios. A meta nacional é levar água potável a quase todos os "
     "brasileiros e ampliar muito a coleta e o tratamento nos próximos anos. Para isso, são necessários investimentos "
     "de longo prazo, planejamento entre municípios vizinhos e fiscalização das empresas responsáveis. O cidadão "
     "também participa: economizar água, não jogar lixo nas ruas e acompanhar as audiências públicas sobre o tema são "
     "formas de cobrar resultados."},
    {"orcamento-publico", "O orçamento público",
     "O orçamento público é o instrumento pelo qual o governo estima quanto vai arrecadar e decide como vai gastar os "
     "recursos em um ano. Ele não é elaborado de uma só vez. O plano plurianual define as metas e os programas para "
     "quatro anos; a lei de diretrizes orçamentárias estabelece as prioridades do ano seguinte e as regras para a "
     "elaboração do orçamento; e a lei orçamentária anual detalha as receitas e as despesas de cada órgão. Todas essas "
     "leis são propostas pelo Poder Executivo e votadas pelo Poder Legislativo.\n"
     "Acompanhar o orçamento é uma forma concreta de exercer a cidadania. É ali que se vê quanto será destinado à "
     "saúde, à educação, à segurança e às obras de cada bairro. Os portais de transparência mostram, em tempo quase "
     "real, os valores empenhados, liquidados e pagos, e permitem conferir quem recebeu cada pagamento. Muitos "
     "municípios também promovem audiências públicas e consultas sobre as prioridades de investimento. Quando a "
     "população participa e fiscaliza, os gastos tendem a ser mais bem planejados e os desvios, mais fáceis de "
     "descobrir."},
    {"eleicoes", "O voto e a Justiça Eleitoral",
     "No Brasil, o voto é direto, secreto, universal e periódico. Ele é obrigatório para os maiores de dezoito anos e "
     "facultativo para os analfabetos, para os maiores de setenta anos e para os jovens de dezesseis e dezessete anos. "
     "Quem deixa de votar e não justifica a ausência paga uma pequena multa e pode enfrentar restrições, como a "
     "dificuldade para tirar passaporte ou tomar posse em cargo público. O título de eleitor pode ser obtido ou "
     "regularizado nos cartórios eleitorais e, em muitos casos, pela internet.\n"
     "Cabe à Justiça Eleitoral organizar as eleições: ela mantém o cadastro dos eleitores, registra as candidaturas, "
     "fiscaliza a propaganda, apura os votos e diplomas os eleitos. A urna eletrônica, usada em todo o país, permite "
     "que o resultado seja conhecido poucas horas depois do fim da votação. Os programas da urna podem ser examinados "
     "por partidos, entidades e especialistas antes do pleito, e cada urna imprime, ao final do dia, um boletim com os "
     "votos que recebeu, afixado na porta da seção para consulta de qualquer pessoa."},
    {"energia-solar", "A energia que vem do sol",
     "A energia solar fotovoltaica transforma a luz do sol diretamente em eletricidade. As placas são formadas por "
     "células de silício que, ao receber a luz, liberam elétrons e geram uma corrente elétrica. Um equipamento chamado "
     "inversor converte essa corrente para o padrão usado nas tomadas das casas. Como o Brasil recebe sol forte "
     "durante boa parte do ano em quase todo o território, o potencial dessa fonte é enorme, e a instalação de placas "
     "em telhados de residências, comércios e prédios públicos cresceu muito na última década.\n"
     "Além de não emitir gases durante a operação, os sistemas solares podem reduzir a conta de luz. Quando a produção "
     "supera o consumo, o excedente é enviado à rede da distribuidora e vira crédito para os meses seguintes. A fonte "
     "tem limites: não produz à noite e rende menos em dias nublados, o que exige combinar o sol com outras fontes, "
     "como a hidrelétrica e a eólica, e investir em formas de armazenar energia. Ao fim da vida útil, as placas "
     "precisam ser recicladas, para que o vidro, o alumínio e os metais voltem à indústria."},
    {"estatuto-crianca", "A proteção da criança e do adolescente",
     "A lei brasileira considera criança a pessoa com até doze anos incompletos e adolescente aquela entre doze e "
     "dezoito anos. Ambas são reconhecidas como sujeitos de direitos, e não como simples objetos de cuidado dos "
     "adultos. É dever da família, da comunidade, da sociedade e do poder público assegurar, com absoluta prioridade, "
     "o direito à vida, à saúde, à alimentação, à educação, ao esporte, ao lazer, à cultura, à dignidade e à "
     "convivência familiar e comunitária.\n"
     "Em cada município deve existir ao menos um Conselho Tutelar, órgão formado por membros escolhidos pela "
     "comunidade local. Ele recebe denúncias de violação de direitos, como abandono, maus-tratos ou evasão escolar, "
     "aplica medidas de proteção e aciona outros serviços quando necessário. Qualquer pessoa pode procurar o conselho, "
     "e a denúncia pode ser feita sem que o denunciante se identifique. O trabalho é proibido aos menores de dezesseis "
     "anos, salvo na condição de aprendiz, a partir dos quatorze, com jornada compatível com a frequência à escola."},
    {"dados-pessoais", "A proteção dos dados pessoais",
     "Nome, número de documento, endereço, telefone, fotografia e até o histórico de compras de uma pessoa são dados "
     "pessoais. Empresas e órgãos públicos que os recolhem precisam ter uma finalidade clara e legítima para isso, "
     "informar ao titular como as informações serão usadas e guardá-las com segurança. Dados sobre saúde, religião, "
     "origem racial, opinião política ou vida sexual são considerados sensíveis e recebem proteção ainda maior, porque "
     "o seu uso indevido pode levar a discriminação.\n"
     "O titular tem o direito de saber quais dados seus estão em poder de uma organização, de corrigir os que "
     "estiverem errados e de pedir a eliminação dos que forem desnecessários. Ele também pode revogar o consentimento "
     "que deu. Quando ocorre um vazamento, a organização deve comunicar o fato à autoridade nacional e às pessoas "
     "afetadas. No dia a dia, alguns cuidados simples ajudam: desconfiar de mensagens que pedem senhas ou códigos, "
     "evitar publicar documentos nas redes sociais e ler, antes de aceitar, o que um aplicativo pede para acessar no "
     "telefone."},
    {"mudancas-climaticas", "O clima que muda",
     "O clima da Terra sempre variou ao longo de milhares de anos, mas o aquecimento observado desde o fim do século "
     "dezenove é rápido demais para ser explicado apenas por causas naturais. A queima de carvão, petróleo e gás, o "
     "desmatamento e certas atividades agrícolas lançam na atmosfera gases que retêm parte do calor que o planeta "
     "deveria devolver ao espaço. Com mais calor retido, a temperatura média sobe, o gelo das montanhas e dos polos "
     "derrete e o nível do mar se eleva.\n"
     "As consequências já são percebidas: ondas de calor mais intensas, chuvas concentradas em poucos dias, secas mais "
     "longas e mudanças na época das safras. Para o Brasil, a preservação das florestas tem papel central, porque o "
     "desmatamento é uma das principais fontes de emissão do país e porque a floresta em pé ajuda a regular as chuvas "
     "em outras regiões. Reduzir as emissões exige mudanças na produção de energia, nos transportes e no uso da terra; "
     "adaptar as cidades a eventos extremos exige planejamento, obras de drenagem e sistemas de alerta que cheguem a "
     "tempo a quem mora em áreas de risco."},
    {"mediacao", "Conversar antes de processar",
     "Nem todo conflito precisa terminar em um processo judicial. A mediação e a conciliação são meios de solução em "
     "que uma terceira pessoa, imparcial, ajuda as partes a conversar e a encontrar por conta própria um acordo que "
     "atenda a ambas. Na conciliação, mais usada em conflitos sem vínculo anterior, como uma batida de carro, o "
     "conciliador pode sugerir soluções. Na mediação, indicada quando as partes convivem, como vizinhos ou familiares, "
     "o mediador ajuda a restabelecer o diálogo, sem propor ele mesmo a saída.\n"
     "Essas sessões são confidenciais, e o que for dito nelas não pode ser usado depois como prova. O acordo alcançado "
     "pode ser homologado pelo juiz e passa a ter a mesma força de uma sentença. Os tribunais mantêm centros "
     "judiciários de solução de conflitos, que atendem também casos ainda não levados à Justiça. Para o cidadão, as "
     "vantagens são a rapidez, o custo menor e a chance de preservar relações. Para o Judiciário, cada acordo é um "
     "processo a menos na fila, o que ajuda a dar andamento aos casos que realmente dependem de uma decisão."},
}};

}  // namespace

std::span<const ExamText> ExamTexts() { return AllTexts; }

const ExamText* FindExamText(std::string_view id) {
  for (const ExamText& t : AllTexts)
    if (t.id == id) return &t;
  return nullptr;
}

}  // namespace tecladim::exam
